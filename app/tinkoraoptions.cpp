#include "tinkoraoptions.h"

#include "devicenames.h"
#include "portmessages.h"

QList<OptionSpec> tinkoraOptions()
{
    QList<OptionSpec> options;
    for (const int port : {1, 2}) {
        options.append({deviceOptionName(port), QStringLiteral("PÉRIPHÉRIQUE"),
                        QStringLiteral("Périphérique de %1 (par défaut %2).")
                            .arg(portName(port), defaultDevicePath(port))});
    }
    return options;
}

QString tinkoraDescription()
{
    return QStringLiteral("Compose une mélodie note par note et la charge dans l'EEPROM d'une "
                          "carte reliée à un port série (2400 bauds, 8N1).");
}
