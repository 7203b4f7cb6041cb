// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "midifile.h"

#include <QString>

#include <vector>

// Where a tick lies in the music as a score shows it, by the file's time signatures (4/4 until
// the first): "piste 3, mesure 5, temps 2 (tick 3456)". A signature that comes in the middle of
// a bar starts a new one.
class MidiPlaces {
public:
    MidiPlaces(const MidiFile &file, int track);

    QString at(qint64 tick) const;

private:
    struct Span {
        qint64 tick = 0;
        qint64 barsBefore = 0;
        qint64 beat = 0; // in ticks
        int beats = 4;
    };

    int m_track;
    std::vector<Span> m_spans;
};
