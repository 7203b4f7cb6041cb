#include "devicenames.h"
#include "form1.h"
#include "portmessages.h"
#include "quitsignals.h"
#include "runwindow.h"

#include <QApplication>
#include <QCommandLineParser>

#include <cstdio>

namespace {

QCommandLineOption deviceOption(int portNumber)
{
    return QCommandLineOption(deviceOptionName(portNumber),
                              QStringLiteral("Périphérique de %1 (par défaut %2).")
                                  .arg(portName(portNumber), defaultDevicePath(portNumber)),
                              QStringLiteral("DEVICE"));
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
    const QCommandLineOption com1 = deviceOption(1);
    const QCommandLineOption com2 = deviceOption(2);
    parser.addOptions({com1, com2});

    // Help and version are answered without opening a display.
    for (int i = 1; i < argc; ++i) {
        const QByteArray argument(argv[i]);
        if (argument == "--")
            break;
        if (argument == "-h" || argument == "--help" || argument == "-?" ||
            argument == "--help-all" || argument == "-v" || argument == "--version") {
            QCoreApplication textOnly(argc, argv);
            parser.process(textOnly); // prints and exits
        }
    }

    QApplication app(argc, argv); // takes Qt's own options (-platform, -style) out of argv
    parser.process(app);
    if (!parser.positionalArguments().isEmpty()) {
        fprintf(stderr, "tinkora : argument inattendu « %s » (voir tinkora --help)\n",
                qPrintable(parser.positionalArguments().constFirst()));
        return 1;
    }
    quitOnUnixSignals(app);
    // Lets the desktop match the window with its menu entry, and so with its icon and name.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.tinkora.Tinkora"));

    PortMap ports;
    if (parser.isSet(com1))
        ports.setDevicePath(1, parser.value(com1));
    if (parser.isSet(com2))
        ports.setDevicePath(2, parser.value(com2));

    Form1 window(ports);
    return runWindow(app, window);
}
