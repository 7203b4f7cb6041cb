// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <utility>
#include <vector>

// One text of a note as the file spells it, and the column where it starts (from 1). A file
// without lines (MIDI) says where instead, as a place in the music.
struct MelodyField {
    QString text;
    int column = 0;
    QString place;
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
    QString place; // "piste 3, mesure 5, temps 2 (tick 3456)", instead of the line and column
};

// What the user decides about a file where the file leaves a choice; none of it is needed by a
// table. Notes are counted from 1, both ends included.
struct MelodyChoices {
    // A tempo given in place of the file's, per minute; each note's duration is then judged
    // at it by the window's own rule.
    static constexpr int kLowestTempo = 1;
    static constexpr int kHighestTempo = 24000;

    bool skipRests = false;
    std::optional<int> track; // from 1, in file order
    std::optional<int> channel;
    std::optional<int> tempo; // wins over the file's own
    std::optional<std::pair<int, int>> notes;
};

// One line of a MIDI file that could be the melody: the notes of one channel of one track.
struct MelodyLine {
    int track = 0;
    int channel = 0;
    QString name;  // the track's, when it has one
    int notes = 0; // chords counted once
    QString lowest;
    QString highest;
    int mostAtOnce = 0;

    // "piste 2, canal 1 « Melody » : 44 notes de Do3 à Sol4, jusqu'à 3 à la fois"
    QString describe() const;
};

// What a reader made of a whole file.
struct MelodyReading {
    std::vector<MelodyNote> notes;
    std::vector<MelodyProblem> problems;
    QStringList remarks; // what the reader changed on purpose, such as an octave shift
    // A MIDI file's lines left to choose from, when it holds several and none was chosen.
    std::vector<MelodyLine> lines;
    bool tempoNeeded = false; // the MIDI file's tempo changes along the line
    bool excerptable = false; // a line of a longer piece: a part of it may be taken
    int lineNotes = 0;        // the chosen MIDI line's notes, all of them, whatever was taken
};
