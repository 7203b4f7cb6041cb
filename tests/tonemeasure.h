// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QtEndian>

#include <cmath>
#include <numbers>
#include <vector>

// 16-bit little-endian samples, as NoteTone makes them and the recorder gives them.
inline std::vector<int> samplesOf(const QByteArray &bytes)
{
    std::vector<int> samples;
    for (qsizetype i = 0; i + 1 < bytes.size(); i += 2)
        samples.push_back(qFromLittleEndian<qint16>(bytes.constData() + i));
    return samples;
}

// Goertzel's power of one frequency over count samples from first, through a Hann window.
inline double powerAt(const std::vector<int> &samples, std::size_t first, std::size_t count,
                      double frequency, int sampleRate = 44100)
{
    const double coefficient = 2 * std::cos(2 * std::numbers::pi * frequency / sampleRate);
    double previous = 0, older = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const double window = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * i / (count - 1));
        const double current = window * samples[first + i] + coefficient * previous - older;
        older = previous;
        previous = current;
    }
    return previous * previous + older * older - coefficient * previous * older;
}

// The loudest frequency within 5 Hz of around, to 0.05 Hz.
inline double pitchNear(const std::vector<int> &samples, std::size_t first, std::size_t count,
                        double around)
{
    double best = around;
    double bestPower = -1;
    for (double frequency = around - 5; frequency <= around + 5; frequency += 0.05) {
        const double power = powerAt(samples, first, count, frequency);
        if (power > bestPower) {
            bestPower = power;
            best = frequency;
        }
    }
    return best;
}
