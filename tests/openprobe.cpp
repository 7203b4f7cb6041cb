// SPDX-License-Identifier: GPL-3.0-or-later
// Opens COM1 mapped to the path given and prints how that went (failure and reason; the whole
// warning on stderr), so that a test can try it as another user.
#include "portmessages.h"
#include "serialportlink.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 2)
        return 2;
    PortMap ports;
    ports.setDevicePath(1, QString::fromLocal8Bit(argv[1]));
    SerialPortLink link(ports);
    const OpenResult result = link.Open(1);
    QTextStream(stdout) << int(result.failure) << ' ' << openFailureReason(result) << Qt::endl;
    QTextStream(stderr) << openFailureText(1, result, 0) << Qt::endl;
    return 0;
}
