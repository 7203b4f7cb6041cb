// SPDX-License-Identifier: GPL-3.0-or-later
// The window with three notes sent to COM1 (the path given) while the line is stalled, ending
// as the test asks: "wait" for a signal, or "exit" at once through exit(), as Qt ends the program
// when the display connection breaks. Prints "ready" once the notes are queued. With "melody" and
// a file, that file is dropped on the window and sent: "ready" once its first frame is written.
#include "form1.h"
#include "messageboxcloser.h"
#include "quitsignals.h"
#include "runwindow.h"
#include "serialportlink.h"
#include "windowdriver.h"

#include <QApplication>
#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc < 3)
        return 2;
    quitOnUnixSignals(app);
    PortMap ports;
    ports.setDevicePath(1, QString::fromLocal8Bit(argv[1]));
    SerialPortLink link(ports);
    Form1 window(link, ports);
    const bool exitAtOnce = qstrcmp(argv[2], "exit") == 0;

    MessageBoxCloser boxes;
    boxes.answerKey = Qt::Key_Return; // "Envoyer"
    if (qstrcmp(argv[2], "melody") == 0) {
        // A whole melody file dropped on the window: ready once its first frame is on its way.
        QTimer::singleShot(0, &window, [&window, file = QString::fromLocal8Bit(argv[3])] {
            WindowDriver(&window).click(QStringLiteral("Option1"));
            QObject::connect(window.findChild<QLineEdit *>(QStringLiteral("Text1")),
                             &QLineEdit::textChanged, [] {
                                 static const int said = std::puts("ready");
                                 Q_UNUSED(said);
                                 std::fflush(stdout);
                             });
            QMimeData data;
            data.setUrls({QUrl::fromLocalFile(file)});
            QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::NoButton, {});
            QApplication::sendEvent(&window, &enter);
            QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::NoButton, {});
            QApplication::sendEvent(&window, &drop);
        });
        return runWindow(app, window);
    }

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
