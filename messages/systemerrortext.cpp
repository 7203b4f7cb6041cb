// SPDX-License-Identifier: GPL-3.0-or-later
#include "systemerrortext.h"

QString systemErrorText(SystemError error)
{
    switch (error) {
    case SystemError::NoSuchFile:
        return QStringLiteral("fichier ou dossier introuvable");
    case SystemError::NotADirectory:
        return QStringLiteral("un élément du chemin n'est pas un dossier");
    case SystemError::IsADirectory:
        return QStringLiteral("c'est un dossier");
    case SystemError::TooManyLinks:
        return QStringLiteral("trop de niveaux de liens symboliques");
    case SystemError::NameTooLong:
        return QStringLiteral("nom de fichier trop long");
    case SystemError::AccessDenied:
        return QStringLiteral("permission refusée");
    case SystemError::NotPermitted:
        return QStringLiteral("opération non permise");
    case SystemError::ReadOnlyFileSystem:
        return QStringLiteral("système de fichiers en lecture seule");
    case SystemError::Busy:
        return QStringLiteral("périphérique ou ressource occupé");
    case SystemError::WouldBlock:
        return QStringLiteral("ressource temporairement indisponible");
    case SystemError::NoSuchDeviceOrAddress:
        return QStringLiteral("périphérique ou adresse introuvable");
    case SystemError::NoSuchDevice:
        return QStringLiteral("aucun périphérique de ce type");
    case SystemError::InputOutput:
        return QStringLiteral("erreur d'entrée-sortie");
    case SystemError::NotATerminal:
        return QStringLiteral("ce n'est pas un terminal");
    case SystemError::TextFileBusy:
        return QStringLiteral("fichier texte occupé");
    case SystemError::Interrupted:
        return QStringLiteral("appel système interrompu");
    case SystemError::InvalidArgument:
        return QStringLiteral("argument invalide");
    case SystemError::TooManyOpenFiles:
        return QStringLiteral("trop de fichiers ouverts");
    case SystemError::TooManyOpenFilesInSystem:
        return QStringLiteral("trop de fichiers ouverts dans le système");
    case SystemError::OutOfMemory:
        return QStringLiteral("mémoire insuffisante");
    case SystemError::Overflow:
        return QStringLiteral("valeur trop grande pour le type de données");
    case SystemError::NoLocks:
        return QStringLiteral("aucun verrou disponible");
    case SystemError::NoSpace:
        return QStringLiteral("aucun espace disponible sur le périphérique");
    case SystemError::FileTooLarge:
        return QStringLiteral("fichier trop gros pour la limite de taille en vigueur");
    case SystemError::QuotaExceeded:
        return QStringLiteral("quota d'espace disque dépassé");
    case SystemError::BrokenPipe:
        return QStringLiteral("tube cassé");
    case SystemError::None:
    case SystemError::Other:
        break;
    }
    return {};
}

QString systemErrorText(SystemError error, const QString &systemWords)
{
    const QString french = systemErrorText(error);
    return french.isEmpty() ? systemWords : french;
}
