// SPDX-License-Identifier: GPL-3.0-or-later
#include "melodymessages.h"

#include "displaytexts.h"
#include "portmessages.h"
#include "transferstate.h"

#include <algorithm>

namespace {

QString problemsText(qsizetype count)
{
    return count == 1 ? QStringLiteral("1 problème") : QStringLiteral("%1 problèmes").arg(count);
}

} // namespace

QString problemPlaceText(const MelodyProblem &problem)
{
    if (problem.column > 0)
        return QStringLiteral("ligne %1, colonne %2")
            .arg(QString::number(problem.line), QString::number(problem.column));
    return QStringLiteral("ligne %1").arg(problem.line);
}

QString unreadableMelodyText(const QString &shownName, const QString &problem)
{
    return QStringLiteral("%1 : %2\nRien n'a été écrit.").arg(shownName, problem);
}

QString refusedMelodyText(const QString &shownName, const std::vector<MelodyProblem> &problems)
{
    QString text = QStringLiteral("Fichier %1 refusé (%2) : rien n'a été écrit. Corrigez-le, puis "
                                  "ouvrez-le à nouveau.")
                       .arg(shownName, problemsText(qsizetype(problems.size())));
    const qsizetype listed = std::min<qsizetype>(qsizetype(problems.size()), kMaxListedProblems);
    for (qsizetype i = 0; i < listed; ++i) {
        const MelodyProblem &problem = problems[size_t(i)];
        QString place = problemPlaceText(problem);
        place[0] = place[0].toUpper();
        text += u'\n' + place + QStringLiteral(" : ") + problem.text;
    }
    const qsizetype more = qsizetype(problems.size()) - listed;
    if (more == 1)
        text += QStringLiteral("\n… et 1 autre problème");
    else if (more > 1)
        text += QStringLiteral("\n… et %1 autres problèmes").arg(more);
    return text;
}

QString sendMelodyQuestion(const QString &shownName, int count, int firstSlot)
{
    const int lastSlot = firstSlot + count - 1;
    if (count == 1)
        return QStringLiteral("Envoyer la note de %1 à l'emplacement %2 (%3: %4) ?")
            .arg(shownName, QString::number(firstSlot), deviceAddressStartText(),
                 QString::number(TransferState::addressOf(firstSlot)));
    return QStringLiteral("Envoyer les %1 notes de %2 aux emplacements %3 à %4 (%5: %6 à %7) ?")
        .arg(QString::number(count), shownName, QString::number(firstSlot),
             QString::number(lastSlot), deviceAddressStartText(),
             QString::number(TransferState::addressOf(firstSlot)),
             QString::number(TransferState::addressOf(lastSlot)));
}

QString sendProgressText(int note, int total)
{
    return QStringLiteral("Note %1 sur %2").arg(note).arg(total);
}

QString melodyNeedsAPortText()
{
    return QStringLiteral("Choisissez d'abord %1 ou %2, puis ouvrez la mélodie.")
        .arg(portName(1), portName(2));
}

QString chooseMidiLineText(const QString &shownName, int count)
{
    return QStringLiteral("%1 a %2 lignes mélodiques : choisissez celle à envoyer.")
        .arg(shownName, QString::number(count));
}

QString sendExcerptQuestion(int lineNotes, int lastNote)
{
    const QString notes =
        lineNotes == 1 ? QStringLiteral("1 note") : QStringLiteral("%1 notes").arg(lineNotes);
    if (lastNote == 1)
        return QStringLiteral("La ligne choisie a %1 ; envoyer la note 1 ?").arg(notes);
    return QStringLiteral("La ligne choisie a %1 ; envoyer les notes 1 à %2 ?")
        .arg(notes, QString::number(lastNote));
}

QString midiTempoQuestion(const QString &shownName)
{
    return QStringLiteral("Le tempo change le long de la ligne choisie de %1 : tapez celui à "
                          "garder, de %2 à %3 noires par minute.")
        .arg(shownName, QString::number(MelodyChoices::kLowestTempo),
             QString::number(MelodyChoices::kHighestTempo));
}
