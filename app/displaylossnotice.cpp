// SPDX-License-Identifier: GPL-3.0-or-later
#include "displaylossnotice.h"

#include "displaymessages.h"

#include <QString>
#include <QtGlobal>

#include <cstdio>

namespace {

QtMessageHandler g_previous = nullptr;

// The lines the xcb and Wayland platforms print just before they end the program; nothing else
// tells that the display went.
bool isDisplayLoss(QtMsgType type, const QString &text)
{
    return type == QtWarningMsg && (text.startsWith(u"The X11 connection broke") ||
                                    text.startsWith(u"The Wayland connection broke"));
}

void replaceDisplayLoss(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (isDisplayLoss(type, text)) {
        std::fprintf(stderr, "%s\n", qUtf8Printable(displayLostText()));
        std::fflush(stderr);
    } else if (g_previous) {
        g_previous(type, context, text);
    }
}

} // namespace

void noticeDisplayLoss()
{
    g_previous = qInstallMessageHandler(replaceDisplayLoss);
}
