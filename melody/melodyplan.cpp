// SPDX-License-Identifier: GPL-3.0-or-later
#include "melodyplan.h"

#include "transfercommand.h"
#include "transferstate.h"

#include <algorithm>
#include <tuple>

QString PlannedFrame::describe() const
{
    return QStringLiteral("Note %1 @%2 : %3, %4 (%5)")
        .arg(QString::number(slot), QString::number(frame.DeviceAddress), note, value,
             QString::number(frame.DurationCode));
}

MelodyPlan MelodyPlan::make(const MelodyReading &reading, int firstSlot)
{
    MelodyPlan plan;
    for (const MelodyProblem &found : reading.problems)
        plan.problem(found.line, found.column, found.text, found.place);

    const int slotsLeft = TransferState::MaxNotes - firstSlot + 1;
    int slot = firstSlot;
    for (const MelodyNote &note : reading.notes)
        plan.check(note, slot++);
    if (int(reading.notes.size()) > slotsLeft) {
        const MelodyNote &first = reading.notes[slotsLeft];
        QString text =
            QStringLiteral("Trop de notes : %1 notes, mais seulement %2 de la note %3 "
                           "à la note %4. Le nombre maximum de notes (%4) serait "
                           "dépassé dès cette note.")
                .arg(QString::number(reading.notes.size()),
                     slotsLeft == 1 ? QStringLiteral("1 emplacement")
                                    : QStringLiteral("%1 emplacements").arg(slotsLeft),
                     QString::number(firstSlot), QString::number(TransferState::MaxNotes));
        if (reading.excerptable)
            text += QStringLiteral(" Prenez-en un extrait avec --notes, par exemple --notes 1-%1.")
                        .arg(slotsLeft);
        plan.problem(first.line, first.note.column, text, first.note.place);
    }
    if (reading.notes.empty() && reading.problems.empty())
        plan.problem(1, 0, QStringLiteral("Aucune note dans le fichier."));

    std::stable_sort(plan.m_problems.begin(), plan.m_problems.end(),
                     [](const MelodyProblem &a, const MelodyProblem &b) {
                         return std::tie(a.line, a.column) < std::tie(b.line, b.column);
                     });
    if (plan.ok())
        plan.m_remarks = reading.remarks;
    else
        plan.m_frames.clear();
    return plan;
}

void MelodyPlan::check(const MelodyNote &note, int slot)
{
    // An empty field is a list left unchosen, and says so in the window's words.
    const std::pair<ChoiceList, const MelodyField *> fields[] = {
        {ChoiceList::tempo, &note.tempo},
        {ChoiceList::notes, &note.note},
        {ChoiceList::duree, &note.value},
    };
    bool complete = true;
    for (const auto &[list, field] : fields) {
        if (field->text.isEmpty()) {
            problem(note.line, field->column, TransferCommand::placeholderWarning(list),
                    field->place);
            complete = false;
        }
    }
    if (!complete)
        return;

    const EncodedChoice choice =
        TransferCommand::encodeChoice(note.tempo.text, note.note.text, note.value.text);
    for (const ChoiceWarning &warning : choice.warnings) {
        const MelodyField &field = warning.list == ChoiceList::tempo   ? note.tempo
                                   : warning.list == ChoiceList::notes ? note.note
                                                                       : note.value;
        problem(note.line, field.column, warning.text, field.place);
    }
    if (!choice.ok() || slot > TransferState::MaxNotes)
        return;
    m_frames.push_back({slot,
                        {TransferState::addressOf(slot), choice.NoteCode, choice.DurationCode},
                        note.note.text,
                        note.value.text});
}

void MelodyPlan::problem(int line, int column, const QString &text, const QString &place)
{
    // One tempo can spoil many notes of a ring tone at one place: say it once.
    if (m_seen.insert({line, column, text, place}).second)
        m_problems.push_back({line, column, text, place});
}
