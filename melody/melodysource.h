// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "melodynote.h"

#include <QByteArray>
#include <QString>

// A melody file read whole, whatever its kind: what the window and tinkora-send both open.
struct MelodyLoad {
    QString problem; // the file could not be read at all; empty otherwise
    MelodyReading reading;

    bool ok() const { return problem.isEmpty(); }
};

// The one way into a melody file: a MIDI file is told by its first bytes ("MThd"), whatever its
// name; other files are text, a table or RTTTL (see MelodyFile::formatOf).
class MelodySource {
public:
    static MelodyLoad load(const QString &path, const MelodyChoices &choices = {});
    // path gives only the name, which may tell a table from a ring tone.
    static MelodyLoad fromBytes(const QByteArray &bytes, const QString &path,
                                const MelodyChoices &choices = {});
};
