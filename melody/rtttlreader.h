// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "melodynote.h"

#include <QStringView>

// Reads a ring tone in RTTTL ("name:d=4,o=5,b=120:8e6,8d#6,...") as the window's texts.
// RTTTL's A of octave 4 is 440 Hz, which is "La3" here, so RTTTL octave o is octave o - 1 here;
// a melody outside "Do2".."Si4" is moved by whole octaves to fit. Durations 1, 2, 4, 8 and 16,
// plain or dotted, are the nine note values; b= is the tempo. A rest has no slot form: it is
// refused, or dropped when skipRests is set.
class RtttlReader {
public:
    static MelodyReading read(QStringView text, bool skipRests = false);
};
