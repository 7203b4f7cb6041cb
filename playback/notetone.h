// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QtGlobal>

// The board's buzzer is square-ish; a sine is gentler on the ear.
enum class Tone { Square, Sine };

// One note as the board would sound it, 16-bit mono at 44.1 kHz, little-endian: a tone at about
// -12 dBFS with 5 ms fades at both ends so joins never click, silence for code 0 and unknown
// codes. Made in pieces, so a player can stop anywhere with a fade of its own.
class NoteTone {
public:
    static constexpr int kSampleRate = 44100;
    static constexpr int kSamplesPerUnit = kSampleRate / 100; // one duration unit is 10 ms
    static constexpr int kFadeSamples = kSampleRate / 200;    // 5 ms
    static constexpr double kAmplitude = 8231;                // -12 dBFS of a 16-bit full scale

    NoteTone(quint8 noteCode, quint8 durationByte, Tone tone);

    // Equal temperament with "La3" (code 22) at 440 Hz; 0 for silence.
    static double frequency(quint8 noteCode);

    int length() const { return m_length; } // in samples
    // Appends samples [from, from + count), clipped to the note.
    void append(QByteArray &out, int from, int count) const;
    // Appends what follows sample from when the note is cut there: at most kFadeSamples of the
    // same wave faded to nothing.
    void appendFadeOut(QByteArray &out, int from) const;

private:
    double sample(int i) const;
    double envelope(int i) const;

    double m_frequency;
    int m_length;
    Tone m_tone;
};
