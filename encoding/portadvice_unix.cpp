#include "portmessages.h"

QString permissionAdvice(const OpenResult &)
{
    // Serial devices belong to the dialout group on Debian and its kin.
    return QStringLiteral("Ajoutez votre compte au groupe dialout (sudo adduser $USER dialout), "
                          "puis fermez la session et reconnectez-vous.");
}
