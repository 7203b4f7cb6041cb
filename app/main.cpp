#include "form1.h"
#include "transferpicture.h"

#include <QApplication>
#include <QCommandLineParser>

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tinkora"));
    QApplication::setApplicationVersion(QStringLiteral(TINKORA_VERSION));
    QApplication::setWindowIcon(transferPicture());

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Compose une mélodie note par note et la charge dans l'EEPROM d'une carte reliée à un "
        "port série (2400 bauds, 8N1)."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption com1(QStringLiteral("com1"),
                                  QStringLiteral("Périphérique de COM1 (par défaut /dev/ttyS0)."),
                                  QStringLiteral("DEVICE"));
    const QCommandLineOption com2(QStringLiteral("com2"),
                                  QStringLiteral("Périphérique de COM2 (par défaut /dev/ttyS1)."),
                                  QStringLiteral("DEVICE"));
    parser.addOptions({com1, com2});
    parser.process(app);

    PortMap ports;
    if (parser.isSet(com1))
        ports.setDevicePath(1, parser.value(com1));
    if (parser.isSet(com2))
        ports.setDevicePath(2, parser.value(com2));

    Form1 window(ports);
    window.show();
    return app.exec();
}
