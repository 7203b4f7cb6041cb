#include "form1.h"
#include "portlisting.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
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
    QCoreApplication::setApplicationName(QStringLiteral("tinkora"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TINKORA_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Compose une mélodie note par note et la charge dans l'EEPROM d'une carte reliée à un "
        "port série (2400 bauds, 8N1)."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption com1(
        QStringLiteral("com1"),
        QStringLiteral("Périphérique de COM1 (par défaut le premier port série présent)."),
        QStringLiteral("DEVICE"));
    const QCommandLineOption com2(
        QStringLiteral("com2"),
        QStringLiteral("Périphérique de COM2 (par défaut le deuxième port série présent, ou le "
                       "premier qui n'est pas celui de COM1)."),
        QStringLiteral("DEVICE"));
    const QCommandLineOption list(
        QStringLiteral("list"),
        QStringLiteral("Affiche les ports série présents et ceux de COM1 et COM2, sans fenêtre."));
    parser.addOptions({com1, com2, list});

    const auto portMap = [&] {
        PortMap ports;
        if (parser.isSet(com1))
            ports.setDevicePath(1, parser.value(com1));
        if (parser.isSet(com2))
            ports.setDevicePath(2, parser.value(com2));
        return ports;
    };

    // Help, version and the port list are answered without opening a display.
    for (int i = 1; i < argc; ++i) {
        const QByteArray argument(argv[i]);
        if (argument == "--")
            break;
        if (argument == "-h" || argument == "--help" || argument == "-?" ||
            argument == "--help-all" || argument == "-v" || argument == "--version" ||
            argument == "--list") {
            QCoreApplication textOnly(argc, argv);
            parser.process(textOnly); // help and version print and exit
            QTextStream out(stdout);
            listPorts(portMap(), out);
            return 0;
        }
    }

    QApplication app(argc, argv); // takes Qt's own options (-platform, -style) out of argv
    parser.process(app);
    if (!parser.positionalArguments().isEmpty()) {
        fprintf(stderr, "tinkora : argument inattendu « %s » (voir tinkora --help)\n",
                qPrintable(parser.positionalArguments().constFirst()));
        return 1;
    }
    quitOnSignals(app);
    // Lets the desktop match the window with its menu entry, and so with its icon and name.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.tinkora.Tinkora"));

    Form1 window(portMap());
    window.show();
    return app.exec();
}
