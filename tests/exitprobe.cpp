// SPDX-License-Identifier: GPL-3.0-or-later
// The window with three notes sent to COM1 (the path given) while the line is stalled, ending
// as the test asks: "wait" for a signal, or "exit" at once through exit(), as Qt ends the program
// when the display connection breaks. Prints "ready" once the notes are queued.
#include "form1.h"
#include "quitsignals.h"
#include "runwindow.h"
#include "serialportlink.h"
#include "windowdriver.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc != 3)
        return 2;
    quitOnUnixSignals(app);
    PortMap ports;
    ports.setDevicePath(1, QString::fromLocal8Bit(argv[1]));
    SerialPortLink link(ports);
    Form1 window(link, ports);
    const bool exitAtOnce = qstrcmp(argv[2], "exit") == 0;

    QTimer::singleShot(0, &window, [&window, exitAtOnce] {
        WindowDriver driver(&window);
        driver.click(QStringLiteral("Option1"));
        driver.choose(QStringLiteral("120"), QStringLiteral("La3"), QStringLiteral("Noire"));
        for (int note = 0; note < 3; ++note)
            driver.click(QStringLiteral("Command2"));
        std::puts("ready");
        std::fflush(stdout);
        if (exitAtOnce)
            std::exit(1);
    });
    return runWindow(app, window);
}
