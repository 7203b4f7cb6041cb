#include "form1.h"
#include "portlisting.h"
#include "portmessages.h"
#include "quitsignals.h"
#include "runwindow.h"

#include <QApplication>
#include <QCommandLineParser>

#include <cstdio>

namespace {

QCommandLineOption deviceOption(int portNumber)
{
    const QString byDefault =
        portNumber == 1 ? QStringLiteral("le premier port série présent")
                        : QStringLiteral("le deuxième port série présent, ou le premier qui "
                                         "n'est pas celui de %1")
                              .arg(portName(1));
    return QCommandLineOption(
        deviceOptionName(portNumber),
        QStringLiteral("Périphérique de %1 (par défaut %2).").arg(portName(portNumber), byDefault),
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
    quitOnUnixSignals(app);
    // Lets the desktop match the window with its menu entry, and so with its icon and name.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.tinkora.Tinkora"));

    Form1 window(portMap());
    return runWindow(app, window);
}
