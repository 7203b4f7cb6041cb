// SPDX-License-Identifier: GPL-3.0-or-later
#include "nodisplayguard.h"

#include "displaymessages.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>

namespace {

struct HeldMessage {
    QtMsgType type;
    QByteArray file;
    int line;
    QByteArray function;
    QByteArray category;
    QString text;
};

QtMessageHandler g_previous = nullptr;
QList<HeldMessage> g_held;

void pass(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (g_previous)
        g_previous(type, context, text);
    else
        std::fprintf(stderr, "%s\n", qUtf8Printable(text));
}

void holdOrEnd(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (type != QtFatalMsg) {
        g_held.append({type, context.file, context.line, context.function, context.category, text});
        return;
    }
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        // Qt's own lines ("could not connect to display", the plugin list) would only bury this.
        std::fprintf(stderr, "%s\n", qUtf8Printable(noDisplayText()));
    } else {
        // A display is there, so something else failed (a mistyped -platform, a broken plugin):
        // Qt's own words are the useful ones.
        std::fprintf(stderr, "%s\n", qUtf8Printable(windowNotOpenedText()));
        for (const HeldMessage &message : std::as_const(g_held))
            std::fprintf(stderr, "%s\n", qUtf8Printable(message.text));
        std::fprintf(stderr, "%s\n", qUtf8Printable(text));
    }
    std::fflush(stderr);
    std::_Exit(NoDisplayGuard::kExitCode); // Qt would abort() once this handler returns
}

} // namespace

NoDisplayGuard::NoDisplayGuard()
{
    g_previous = qInstallMessageHandler(holdOrEnd);
}

NoDisplayGuard::~NoDisplayGuard()
{
    qInstallMessageHandler(g_previous);
    for (const HeldMessage &message : std::as_const(g_held)) {
        const QMessageLogContext context(message.file.constData(), message.line,
                                         message.function.constData(),
                                         message.category.constData());
        pass(message.type, context, message.text);
    }
    g_held.clear();
}
