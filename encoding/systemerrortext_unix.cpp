#include "systemerrortext.h"

#include <cerrno>
#include <cstring>

QString systemErrorText(int systemError)
{
    switch (systemError) {
    case ENOENT:
        return QStringLiteral("fichier ou dossier introuvable");
    case ENOTDIR:
        return QStringLiteral("un élément du chemin n'est pas un dossier");
    case EISDIR:
        return QStringLiteral("c'est un dossier");
    case ELOOP:
        return QStringLiteral("trop de niveaux de liens symboliques");
    case ENAMETOOLONG:
        return QStringLiteral("nom de fichier trop long");
    case EACCES:
        return QStringLiteral("permission refusée");
    case EPERM:
        return QStringLiteral("opération non permise");
    case EROFS:
        return QStringLiteral("système de fichiers en lecture seule");
    case EBUSY:
        return QStringLiteral("périphérique ou ressource occupé");
    case EWOULDBLOCK:
        return QStringLiteral("ressource temporairement indisponible");
    case ENXIO:
        return QStringLiteral("périphérique ou adresse introuvable");
    case ENODEV:
        return QStringLiteral("aucun périphérique de ce type");
    case EIO:
        return QStringLiteral("erreur d'entrée-sortie");
    case ENOTTY:
        return QStringLiteral("ce n'est pas un terminal");
    case ETXTBSY:
        return QStringLiteral("fichier texte occupé");
    case EINTR:
        return QStringLiteral("appel système interrompu");
    case EINVAL:
        return QStringLiteral("argument invalide");
    case EMFILE:
        return QStringLiteral("trop de fichiers ouverts");
    case ENFILE:
        return QStringLiteral("trop de fichiers ouverts dans le système");
    case ENOMEM:
        return QStringLiteral("mémoire insuffisante");
    case EOVERFLOW:
        return QStringLiteral("valeur trop grande pour le type de données");
    case ENOLCK:
        return QStringLiteral("aucun verrou disponible");
    case ENOSPC:
        return QStringLiteral("aucun espace disponible sur le périphérique");
    case EPIPE:
        return QStringLiteral("tube cassé");
    default:
        return {};
    }
}

QString systemErrorText(int systemError, const QString &systemWords)
{
    if (systemError == 0 && !systemWords.isEmpty()) {
        // Qt gives only strerror's words: find the number that says them.
        constexpr int kLastError = 133; // EHWPOISON, the last error number on Linux
        for (int error = 1; error <= kLastError && systemError == 0; ++error) {
            if (QString::fromLocal8Bit(std::strerror(error)) == systemWords)
                systemError = error;
        }
    }
    const QString french = systemErrorText(systemError);
    return french.isEmpty() ? systemWords : french;
}
