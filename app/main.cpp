// SPDX-License-Identifier: GPL-3.0-or-later
#include "displaylossnotice.h"
#include "form1.h"
#include "nodisplayguard.h"
#include "portlisting.h"
#include "portmessages.h"
#include "processstart.h"
#include "qtfrench.h"
#include "quitsignals.h"
#include "runwindow.h"
#include "serialportlink.h"
#include "tinkoraoptions.h"

#include <QApplication>

#include <cstdio>
#include <optional>

int main(int argc, char *argv[])
{
    prepareProcess();
    // Every option is checked before Qt opens a display, so a wrong command line never needs one.
    const Options options = tinkoraCommandLine();
    const ParsedOptions parsed = options.parse(argc, argv);
    if (const std::optional<int> exitCode = options.reply(parsed, QStringLiteral(TINKORA_VERSION)))
        return *exitCode;

    QCoreApplication::setApplicationName(QStringLiteral("tinkora"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TINKORA_VERSION));
    const auto portMap = [&] {
        PortMap ports;
        for (const int port : {1, 2}) {
            if (parsed.isSet(deviceOptionName(port)))
                ports.setDevicePath(port, parsed.value(deviceOptionName(port)));
        }
        return ports;
    };
    if (parsed.isSet(QStringLiteral("list"))) { // answered without a display too
        QCoreApplication textOnly(argc, argv);
        QTextStream out(stdout);
        listPorts(portMap(), out);
        return 0;
    }

    std::optional<QApplication> app;
    {
        const NoDisplayGuard guard;
        app.emplace(argc, argv); // takes Qt's own options (-platform, -style) out of argv
    }
    noticeDisplayLoss();
    installQtFrench(*app);
    quitOnUnixSignals(*app);
    // Lets the desktop match the window with its menu entry, and so with its icon and name.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.tinkora.Tinkora"));

    SerialPortLink link(portMap());
    Form1 window(link, portMap());
    return runWindow(*app, window);
}
