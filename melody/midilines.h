// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "melodynote.h"
#include "midifile.h"

#include <optional>
#include <vector>

// The lines of a MIDI file that could be a melody, and one such line as single notes.
class MidiLines {
public:
    // One note of a line once chords are gone.
    struct Voice {
        qint64 onset = 0;
        qint64 end = 0;
        int key = 0;
    };

    static constexpr int kDrums = 10;

    // Every (track, channel) pair that holds notes, drums left out, in track then channel order.
    static std::vector<MelodyLine> candidates(const MidiFile &file);
    // The line chosen, or the only one; nothing when there is none or several to choose from,
    // said in reading's problems, with the lines in reading's lines.
    static std::optional<MelodyLine> choose(const MidiFile &file, const MelodyChoices &choices,
                                            MelodyReading &reading);
    // The pair's notes, in order; of notes that start together (within 1/32 of a quarter), only
    // the highest.
    static std::vector<Voice> voicesOf(const MidiFile &file, int track, int channel);
    // This program's name for a MIDI note, also beyond the table: 48 is "Do2", 36 "Do1".
    static QString noteName(int key);
};
