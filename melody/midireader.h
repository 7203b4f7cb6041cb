// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "melodynote.h"
#include "midifile.h"

// Reads one line of a MIDI file as the window's texts, taking exactly what the board can play
// and refusing the rest with its place in the music. The line is the file's only one, or the
// one chosen by track and channel. A note lasts until the next one starts; a longer silence
// than half of that is a rest. Durations must be one of the nine note values within 1/32 of a
// quarter; MIDI note 48 is "Do2", and a line outside the table is moved by whole octaves.
class MidiReader {
public:
    static MelodyReading read(const MidiFile &file, const MelodyChoices &choices);
};
