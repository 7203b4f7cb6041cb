// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <vector>

// One text of a note as the file spells it, and the column where it starts (from 1).
struct MelodyField {
    QString text;
    int column = 0;
};

// One note as the window's three lists would show it: tempo, note, note value.
struct MelodyNote {
    int line = 0;
    MelodyField tempo;
    MelodyField note;
    MelodyField value;
};

// Something that stops the file being sent, and where it is (from 1; column 0: the whole line).
struct MelodyProblem {
    int line = 0;
    int column = 0;
    QString text;
};

// What a reader made of a whole file.
struct MelodyReading {
    std::vector<MelodyNote> notes;
    std::vector<MelodyProblem> problems;
    QStringList remarks; // what the reader changed on purpose, such as an octave shift
};
