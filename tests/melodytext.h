// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "melodynote.h"

#include <QStringList>

// A reading as short strings, for data tables: "3: 120|La3|Noire" and "3:5 <problem text>".
inline QStringList notesOf(const MelodyReading &reading)
{
    QStringList result;
    for (const MelodyNote &note : reading.notes)
        result << QStringLiteral("%1: %2|%3|%4")
                      .arg(QString::number(note.line), note.tempo.text, note.note.text,
                           note.value.text);
    return result;
}

inline QStringList problemsOf(const std::vector<MelodyProblem> &problems)
{
    QStringList result;
    for (const MelodyProblem &problem : problems)
        result << QStringLiteral("%1:%2 %3")
                      .arg(QString::number(problem.line), QString::number(problem.column),
                           problem.text);
    return result;
}
