// SPDX-License-Identifier: GPL-3.0-or-later
#include "portmessages.h"

#include "showntext.h"
#include "systemerrortext.h"

namespace {

QString deviceGone()
{
    return QStringLiteral("le périphérique a disparu (adaptateur débranché ?)");
}

// "COM1 (/dev/ttyUSB0)"; a port given by its path (port number 0) is named by it alone.
QString portWithDevice(int portNumber, const QString &device)
{
    return portNumber == 0
               ? shownAsTyped(device)
               : QStringLiteral("%1 (%2)").arg(portName(portNumber), shownAsTyped(device));
}

// "picocom (PID 4242)", the same in the window and on the command line.
QString holderText(const OpenResult &result)
{
    return QStringLiteral("%1 (PID %2)")
        .arg(shownAsTyped(result.holder), QString::number(result.holderPid));
}

} // namespace

QString portName(int portNumber)
{
    return QStringLiteral("COM%1").arg(portNumber);
}

QString deviceOptionName(int portNumber)
{
    return QStringLiteral("com%1").arg(portNumber);
}

QString openFailureReason(const OpenResult &result)
{
    switch (result.failure) {
    case OpenFailure::Missing:
        return QStringLiteral("le périphérique n'existe pas (adaptateur débranché ou mauvais nom "
                              "de périphérique)");
    case OpenFailure::PermissionDenied:
        return QStringLiteral("accès refusé");
    case OpenFailure::Busy:
        if (!result.holder.isEmpty())
            return QStringLiteral("le port est déjà utilisé par %1").arg(holderText(result));
        return QStringLiteral("le port est déjà utilisé par un autre programme");
    case OpenFailure::StaleLock:
        return QStringLiteral("le fichier de verrou %1 le bloque encore, alors que le programme "
                              "qui l'a laissé ne tourne plus")
            .arg(result.lockFile);
    case OpenFailure::NotATerminal:
        return QStringLiteral("ce n'est pas un port série");
    case OpenFailure::NoUart:
        return QStringLiteral("aucun port série ne répond derrière ce périphérique (pas de "
                              "circuit UART)");
    case OpenFailure::OwnTerminal:
        return QStringLiteral("c'est le terminal dans lequel Tinkora tourne, pas un port série");
    case OpenFailure::UnknownPort:
        return QStringLiteral("port inconnu");
    case OpenFailure::NoPort:
        return QStringLiteral("aucun port série trouvé");
    case OpenFailure::Other:
    case OpenFailure::None:
        break;
    }
    // The system's own words would follow the desktop's language, or stay English.
    return systemErrorText(result.systemError, result.detail);
}

QString openFailureText(int portNumber, const OpenResult &result, int portStillInUse)
{
    const QString stillInUse =
        portStillInUse != 0 ? QStringLiteral(" %1 reste utilisé.").arg(portName(portStillInUse))
                            : QString();
    if (result.failure == OpenFailure::NoPort) {
        // The port follows the ports present: COM2 needs one besides COM1's.
        const QString found =
            portNumber == 1
                ? QStringLiteral("Aucun port série trouvé pour %1.").arg(portName(portNumber))
                : QStringLiteral("Aucun port série trouvé pour %1 : il en faut un autre que celui "
                                 "de %2.")
                      .arg(portName(portNumber), portName(1));
        return found + stillInUse +
               QStringLiteral("\nBranchez l'adaptateur série de la carte, puis cliquez de nouveau "
                              "sur %1 ; ou lancez tinkora --%2 PÉRIPHÉRIQUE.")
                   .arg(portName(portNumber), deviceOptionName(portNumber));
    }
    if (result.failure == OpenFailure::Busy && !result.holder.isEmpty()) {
        return QStringLiteral("Le port %1 est déjà utilisé par %2 : fermez ce programme, puis "
                              "cliquez de nouveau sur %3.")
                   .arg(shownAsTyped(result.device), holderText(result), portName(portNumber)) +
               stillInUse;
    }
    return QStringLiteral("Impossible d'ouvrir %1 (%2) : %3.")
               .arg(portName(portNumber), shownAsTyped(result.device), openFailureReason(result)) +
           stillInUse + u'\n' +
           openFailureAdvice(result, {QStringLiteral("--") + deviceOptionName(portNumber),
                                      QStringLiteral("choisissez à nouveau le port")});
}

QString portLostText(int portNumber, const QString &device, const PortLoss &loss,
                     const QString &lostNotes)
{
    QString reason = loss.cause == PortLoss::Cause::DeviceGone
                         ? deviceGone()
                         : QStringLiteral("échec de l'écriture : %1")
                               .arg(systemErrorText(loss.systemError, loss.detail));
    QString text =
        QStringLiteral("%1 a été fermé : %2.").arg(portWithDevice(portNumber, device), reason);
    if (!lostNotes.isEmpty())
        text += u'\n' + lostNotes;
    else if (loss.unsentBytes > 0) // notes already shown as written may not have reached the board
        text += loss.unsentBytes == 1
                    ? QStringLiteral("\n1 octet en attente n'a pas été envoyé, renvoyez les "
                                     "dernières notes.")
                    : QStringLiteral("\n%1 octets en attente n'ont pas été envoyés, renvoyez les "
                                     "dernières notes.")
                          .arg(loss.unsentBytes);
    return text + QStringLiteral("\nRebranchez-le, puis choisissez à nouveau le port.");
}

QString lostNotesText(int firstSlot, int lastSlot, int nextSlot, const QString &nextAddress)
{
    const QString notes = firstSlot == lastSlot
                              ? QStringLiteral("La note %1 n'a pas été envoyée").arg(firstSlot)
                              : QStringLiteral("Les notes %1 à %2 n'ont pas été envoyées")
                                    .arg(firstSlot)
                                    .arg(lastSlot);
    return QStringLiteral("%1 : la prochaine note ira à l'emplacement %2 (%3).")
        .arg(notes, QString::number(nextSlot), nextAddress);
}

QString notesLackingText(int firstSlot, int lastSlot, int lostPort, int portInUse)
{
    const QString notes =
        firstSlot == lastSlot
            ? QStringLiteral("La carte de %1 n'a pas reçu la note %2")
                  .arg(portName(lostPort), QString::number(firstSlot))
            : QStringLiteral("La carte de %1 n'a pas reçu les notes %2 à %3")
                  .arg(portName(lostPort), QString::number(firstSlot), QString::number(lastSlot));
    return QStringLiteral("%1 ; %2 reste utilisé, à l'emplacement où il en était.")
        .arg(notes, portName(portInUse));
}

QString unsentAtExitText(int frames)
{
    return frames == 1 ? QStringLiteral("1 note n'a pas été envoyée")
                       : QStringLiteral("%1 notes n'ont pas été envoyées").arg(frames);
}

QString writeFailureText(const WriteResult &result)
{
    if (result.failure == WriteFailure::NotOpen)
        return QStringLiteral("Aucun port n'est ouvert : la note n'a pas été envoyée. Choisissez "
                              "%1 ou %2, puis recommencez.")
            .arg(portName(1), portName(2));
    const QString reason = result.failure == WriteFailure::DeviceGone
                               ? deviceGone()
                               : systemErrorText(result.systemError, result.detail);
    return QStringLiteral("La note n'a pas été envoyée sur %1 : %2. Vérifiez le branchement, "
                          "puis choisissez à nouveau le port.")
        .arg(portWithDevice(result.portNumber, result.device), reason);
}

QString openFailureAdvice(const OpenResult &result, const RetryHint &hint)
{
    switch (result.failure) {
    case OpenFailure::Missing:
        return QStringLiteral("Branchez l'adaptateur, ou indiquez le bon périphérique avec "
                              "l'option %1.")
            .arg(hint.deviceOption);
    case OpenFailure::PermissionDenied:
        return permissionAdvice(result);
    case OpenFailure::Busy:
        return QStringLiteral("Fermez le programme qui l'utilise, puis %1.").arg(hint.again);
    case OpenFailure::NoUart:
        return QStringLiteral("Beaucoup d'ordinateurs n'ont pas de port série derrière ce nom : "
                              "branchez un adaptateur USB-série et indiquez son périphérique "
                              "(souvent /dev/ttyUSB0) avec l'option %1.")
            .arg(hint.deviceOption);
    case OpenFailure::NotATerminal:
        return QStringLiteral("Indiquez le périphérique d'un port série avec l'option %1.")
            .arg(hint.deviceOption);
    case OpenFailure::StaleLock:
        return QStringLiteral("Supprimez ce fichier (sudo rm %1), puis %2.")
            .arg(result.lockFile, hint.again);
    case OpenFailure::OwnTerminal:
        return QStringLiteral("Indiquez le périphérique de la carte avec l'option %1 (par "
                              "exemple /dev/ttyUSB0).")
            .arg(hint.deviceOption);
    case OpenFailure::NoPort:
        return QStringLiteral("Branchez l'adaptateur série de la carte, puis %1 ; ou indiquez le "
                              "périphérique avec l'option %2.")
            .arg(hint.again, hint.deviceOption);
    case OpenFailure::UnknownPort:
    case OpenFailure::Other:
    case OpenFailure::None:
        break;
    }
    return QStringLiteral("Vérifiez le périphérique, puis %1.").arg(hint.again);
}
