// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "notetone.h"

#include <QByteArray>

// A melody as the board would play it, in a WAV file: the notes' tones (NoteTone, the live
// player's too) one after the other, 16-bit mono at 44.1 kHz.
class MelodyRenderer {
public:
    static constexpr int kHeaderSize = 44;

    // Any sequence of notes that have a noteCode and a durationByte, in playing order.
    template<typename Notes> static QByteArray render(const Notes &notes, Tone tone = Tone::Square)
    {
        QByteArray samples;
        for (const auto &note : notes) {
            const NoteTone sound(note.noteCode, note.durationByte, tone);
            sound.append(samples, 0, sound.length());
        }
        return withHeader(samples);
    }

private:
    static QByteArray withHeader(const QByteArray &samples);
};
