// SPDX-License-Identifier: GPL-3.0-or-later
#include "portmessages.h"

QString permissionAdvice(const OpenResult &result)
{
    // Serial devices belong to the dialout group on Debian and its kin: joining it is the fix,
    // but only for a device that does belong to it.
    if (result.deviceGroup.isEmpty() || result.deviceGroup == u"dialout")
        return QStringLiteral("Ajoutez votre compte au groupe dialout (sudo adduser $USER "
                              "dialout), puis fermez la session et reconnectez-vous.");
    return QStringLiteral("Le périphérique appartient à %1, groupe %2, droits %3 : seuls ce "
                          "compte et ce groupe peuvent l'ouvrir. Demandez à l'administrateur "
                          "d'en ouvrir l'accès, ou indiquez un autre périphérique.")
        .arg(result.deviceOwner, result.deviceGroup, result.deviceAccess);
}
