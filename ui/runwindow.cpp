// SPDX-License-Identifier: GPL-3.0-or-later
#include "runwindow.h"

#include "form1.h"
#include "portmessages.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <utility>

namespace {

Form1 *g_window = nullptr; // until its ports are closed

void closePorts()
{
    Form1 *window = std::exchange(g_window, nullptr);
    if (!window)
        return;
    const int unsent = window->closePorts();
    if (unsent > 0)
        std::fprintf(stderr, "tinkora : %s\n", unsentAtExitText(unsent).toLocal8Bit().constData());
}

} // namespace

int runWindow(QApplication &app, Form1 &window)
{
    g_window = &window;
    // Registered once the window and Qt's own objects exist, so it runs before those go.
    static const bool registered = std::atexit(closePorts) == 0;
    Q_UNUSED(registered);
    window.show();
    const int status = app.exec();
    closePorts();
    return status;
}
