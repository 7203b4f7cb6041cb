#include "form1.h"
#include "nodisplayguard.h"
#include "qtfrench.h"
#include "tinkoraoptions.h"

#include <QApplication>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <optional>
#include <unistd.h>

namespace {

int g_quitPipe[2] = {-1, -1};

void requestQuit(int)
{
    const char byte = 0;
    [[maybe_unused]] const ssize_t ignored = ::write(g_quitPipe[1], &byte, 1);
}

// Ctrl-C or a polite kill closes the window like the user would, so the port is released and
// the last frame still leaves.
void quitOnSignals(QApplication &app)
{
    if (::pipe(g_quitPipe) != 0)
        return;
    auto *notifier = new QSocketNotifier(g_quitPipe[0], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, &QApplication::quit);
    std::signal(SIGINT, requestQuit);
    std::signal(SIGTERM, requestQuit);
}

} // namespace

int main(int argc, char *argv[])
{
    // Every option is checked before Qt opens a display, so a wrong command line never needs one.
    const Options options(QStringLiteral("tinkora"), kTinkoraDescription.toString(),
                          kTinkoraOptions);
    QList<QByteArray> arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QByteArray(argv[i]));
    const ParsedOptions parsed = options.parse(arguments);
    switch (parsed.action) {
    case ParsedOptions::Action::Help:
    case ParsedOptions::Action::HelpAll:
        std::fputs(
            qUtf8Printable(options.helpText(parsed.action == ParsedOptions::Action::HelpAll)),
            stdout);
        return 0;
    case ParsedOptions::Action::Version:
        std::fputs(qUtf8Printable(options.versionText(QStringLiteral(TINKORA_VERSION))), stdout);
        return 0;
    case ParsedOptions::Action::UsageError:
        std::fputs(qUtf8Printable(parsed.error), stderr);
        return 2;
    case ParsedOptions::Action::Run:
        break;
    }

    QCoreApplication::setApplicationName(QStringLiteral("tinkora"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TINKORA_VERSION));
    std::optional<QApplication> app;
    {
        const NoDisplayGuard guard;
        app.emplace(argc, argv); // takes Qt's own options (-platform, -style) out of argv
    }
    installQtFrench(*app);
    quitOnSignals(*app);
    // Lets the desktop match the window with its menu entry, and so with its icon and name.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.tinkora.Tinkora"));

    PortMap ports;
    if (parsed.isSet(QStringLiteral("com1")))
        ports.setDevicePath(1, parsed.value(QStringLiteral("com1")));
    if (parsed.isSet(QStringLiteral("com2")))
        ports.setDevicePath(2, parsed.value(QStringLiteral("com2")));

    Form1 window(ports);
    window.show();
    return app->exec();
}
