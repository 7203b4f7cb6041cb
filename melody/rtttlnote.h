// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringView>

#include <optional>

// One RTTTL note as written ("8e6", "4c#.5", "2.g", "p"), completed by the melody's defaults.
struct RtttlNote {
    enum class Kind { Note, Rest, Unreadable };

    Kind kind = Kind::Unreadable;
    int duration = 0; // 1 for a whole note, 2, 4, 8...
    bool dotted = false;
    std::optional<int> octave; // RTTTL's own numbering; nothing when its digits make no number
    int semitone = 0;          // from C, the sharp included

    static RtttlNote parse(QStringView token, int defaultDuration, int defaultOctave);
    // What number() gives for digits beyond any value RTTTL can use.
    static constexpr int kTooBig = 1'000'000'000;
    // A whole number written in digits only, leading zeros allowed; kTooBig for one of more than
    // nine significant digits.
    static std::optional<int> number(QStringView digits);

    // Where the note value lies in the duration table; nothing for what the nine values cannot
    // say (32nd notes, a dotted whole).
    std::optional<qsizetype> valueIndex() const;
    // The note code before any octave shift, possibly outside the table: RTTTL's A4 (440 Hz) is
    // "La3" here.
    int code() const;
};
