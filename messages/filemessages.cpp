// SPDX-License-Identifier: GPL-3.0-or-later
#include "filemessages.h"

#include "showntext.h"
#include "systemerrortext.h"

namespace {

QString reasonFor(SystemError error)
{
    const QString text = systemErrorText(error);
    return text.isEmpty() ? QStringLiteral("erreur du système") : text;
}

} // namespace

QString fileReadFailureText(const QString &path, SystemError error)
{
    if (error == SystemError::IsADirectory)
        return QStringLiteral("%1 est un dossier, pas un fichier de mélodie.")
            .arg(shownAsTyped(path));
    return QStringLiteral("Impossible de lire %1 : %2.").arg(shownAsTyped(path), reasonFor(error));
}

QString fileWriteFailureText(const QString &path, SystemError error)
{
    return QStringLiteral("Impossible d'écrire %1 : %2. Rien n'a été écrit ; un fichier déjà "
                          "présent sous ce nom reste tel quel.")
        .arg(shownAsTyped(path), reasonFor(error));
}

QString outputIsAnInputText(const QString &path)
{
    return QStringLiteral("%1 est le fichier lu : il serait écrasé. Indiquez un autre fichier à "
                          "écrire.")
        .arg(shownAsTyped(path));
}

QString outputNotAFileText(const QString &path)
{
    return QStringLiteral("%1 n'est pas un fichier ordinaire (périphérique, tube ou dossier) : "
                          "indiquez un fichier à écrire, ou /dev/null pour ne rien garder.")
        .arg(shownAsTyped(path));
}
