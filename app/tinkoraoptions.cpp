// SPDX-License-Identifier: GPL-3.0-or-later
#include "tinkoraoptions.h"

#include "portmessages.h"

namespace {

QList<OptionSpec> tinkoraOptions()
{
    const QString second = QStringLiteral("le deuxième port série présent, ou le premier qui "
                                          "n'est pas celui de %1")
                               .arg(portName(1));
    return {
        OptionSpec::text(
            deviceOptionName(1), QStringLiteral("PÉRIPHÉRIQUE"),
            QStringLiteral("Périphérique de %1 (par défaut le premier port série présent).")
                .arg(portName(1))),
        OptionSpec::text(
            deviceOptionName(2), QStringLiteral("PÉRIPHÉRIQUE"),
            QStringLiteral("Périphérique de %1 (par défaut %2).").arg(portName(2), second)),
        OptionSpec::flag(QStringLiteral("list"),
                         QStringLiteral("Affiche les ports série présents et ceux de COM1 et "
                                        "COM2, sans fenêtre.")),
    };
}

QString tinkoraDescription()
{
    return QStringLiteral("Compose une mélodie note par note et la charge dans l'EEPROM d'une "
                          "carte reliée à un port série (2400 bauds, 8N1).");
}

} // namespace

Options tinkoraCommandLine()
{
    return Options(QStringLiteral("tinkora"), tinkoraDescription(), tinkoraOptions(), {},
                   Options::QtOptions::LeftForQApplication);
}
