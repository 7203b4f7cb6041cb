// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayView>
#include <QString>

#include <vector>

// A Standard MIDI File, format 0 or 1 with ticks per quarter note, reduced to what a melody
// needs: its notes, tempos, time signatures and track names. Anything else the file says is
// read past; a file that breaks the format is refused with the byte where it breaks.
class MidiFile {
public:
    struct Note {
        int track = 0;   // from 1, in file order
        int channel = 0; // from 1 to 16
        int key = 0;     // MIDI note number, 69 for the 440 Hz A
        qint64 onset = 0;
        qint64 end = 0;
    };
    struct Tempo {
        qint64 tick = 0;
        int microsecondsPerQuarter = 0;
    };
    struct Meter {
        qint64 tick = 0;
        int beats = 4;     // numerator
        int beatPower = 2; // the beat is 1/2^beatPower of a whole note
    };

    int ticksPerQuarter = 0;
    std::vector<QString> trackNames; // one per track, empty when the track has none
    std::vector<Note> notes;         // by track, then in the order they start
    std::vector<Tempo> tempos;       // by tick
    std::vector<Meter> meters;       // by tick
    QString problem;                 // empty when the file was read

    bool ok() const { return problem.isEmpty(); }

    static bool isMidi(QByteArrayView bytes) { return bytes.startsWith("MThd"); }
    static MidiFile parse(QByteArrayView bytes);
};
