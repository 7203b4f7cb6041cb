// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

// Renders a melody as the board would play it: a WAV file, 16-bit mono at 44.1 kHz, each note a
// sine tone with short fades so the joins do not click, silence for code 0 and unknown codes.
class MelodyRenderer {
public:
    static constexpr int kSampleRate = 44100;
    static constexpr int kSamplesPerUnit = kSampleRate / 100; // one duration unit is 10 ms
    static constexpr int kHeaderSize = 44;

    // Equal temperament with "La3" (code 22) at 440 Hz; 0 for silence.
    static double frequency(quint8 noteCode);

    // Any sequence of notes that have a noteCode and a durationByte, in playing order.
    template<typename Notes> static QByteArray render(const Notes &notes)
    {
        QByteArray samples;
        for (const auto &note : notes)
            appendNote(samples, note.noteCode, note.durationByte);
        return withHeader(samples);
    }

private:
    static void appendNote(QByteArray &samples, quint8 noteCode, quint8 durationByte);
    static QByteArray withHeader(const QByteArray &samples);
};
