// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "melodynote.h"

#include <QString>

// How a melody file is read, whatever its kind.
struct MelodyReadOptions {
    bool skipRests = false; // drop an RTTTL melody's rests instead of refusing the file
};

// A whole melody file read by the reader its kind calls for, or why it could not be read.
struct MelodyFileReading {
    QString problem; // French, without the file's name; empty when the file was read
    MelodyReading reading;

    bool ok() const { return problem.isEmpty(); }
};

// The one way into a melody file: every program that takes one reads it here, so a new kind of
// file reaches all of them at once.
class MelodyReader {
public:
    static MelodyFileReading read(const QString &path, const MelodyReadOptions &options = {});
};
