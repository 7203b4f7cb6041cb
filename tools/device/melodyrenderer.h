#pragma once

#include "eepromimage.h"

#include <QByteArray>

#include <vector>

// Renders a melody as the board would play it: a WAV file, 16-bit mono at 44.1 kHz, each note a
// sine tone with short fades so the joins do not click, silence for code 0 and unknown codes.
class MelodyRenderer {
public:
    static constexpr int kSampleRate = 44100;
    static constexpr int kSamplesPerUnit = kSampleRate / 100; // one duration unit is 10 ms
    static constexpr int kHeaderSize = 44;

    // Equal temperament with "La3" (code 22) at 440 Hz; 0 for silence.
    static double frequency(quint8 noteCode);
    static QByteArray render(const std::vector<EepromImage::Slot> &melody);
};
