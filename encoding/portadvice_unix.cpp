#include "portmessages.h"

#include <sys/stat.h>

namespace {

// As ls -l shows it: "crw-rw----".
QString modeText(uint mode)
{
    QString text = S_ISCHR(mode) ? QStringLiteral("c") : QStringLiteral("-");
    const uint bits[] = {S_IRUSR, S_IWUSR, S_IXUSR, S_IRGRP, S_IWGRP,
                         S_IXGRP, S_IROTH, S_IWOTH, S_IXOTH};
    const QString letters = QStringLiteral("rwxrwxrwx");
    for (int i = 0; i < 9; ++i)
        text += (mode & bits[i]) ? letters[i] : u'-';
    return text;
}

} // namespace

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
        .arg(result.deviceOwner, result.deviceGroup, modeText(result.deviceMode));
}
