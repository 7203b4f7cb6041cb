// SPDX-License-Identifier: GPL-3.0-or-later
#include "melodyrenderer.h"

#include "boardtiming.h"
#include "notetable.h"

#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr int kFadeSamples = MelodyRenderer::kSampleRate / 200; // 5 ms
constexpr double kAmplitude = 0.4 * 32767;

void appendLe16(QByteArray &out, quint16 value)
{
    char bytes[2];
    qToLittleEndian(value, bytes);
    out.append(bytes, 2);
}

void appendLe32(QByteArray &out, quint32 value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

QByteArray header(quint32 dataBytes)
{
    QByteArray out;
    out.append("RIFF", 4);
    appendLe32(out, 36 + dataBytes);
    out.append("WAVEfmt ", 8);
    appendLe32(out, 16); // PCM format chunk
    appendLe16(out, 1);  // PCM
    appendLe16(out, 1);  // mono
    appendLe32(out, MelodyRenderer::kSampleRate);
    appendLe32(out, MelodyRenderer::kSampleRate * 2);
    appendLe16(out, 2);  // bytes per frame
    appendLe16(out, 16); // bits per sample
    out.append("data", 4);
    appendLe32(out, dataBytes);
    return out;
}

void appendTone(QByteArray &out, double frequency, int samples)
{
    const int fade = std::min(kFadeSamples, samples / 2);
    for (int i = 0; i < samples; ++i) {
        double gain = 1.0;
        if (i < fade)
            gain = double(i) / fade;
        else if (i >= samples - fade)
            gain = double(samples - 1 - i) / fade;
        const double value =
            frequency > 0
                ? kAmplitude * gain *
                      std::sin(2 * std::numbers::pi * frequency * i / MelodyRenderer::kSampleRate)
                : 0.0;
        appendLe16(out, quint16(qint16(std::lround(value))));
    }
}

} // namespace

double MelodyRenderer::frequency(quint8 noteCode)
{
    if (noteCode == 0 || noteCode > NoteTable.back().code)
        return 0.0;
    return 440.0 * std::pow(2.0, (int(noteCode) - 22) / 12.0);
}

void MelodyRenderer::appendNote(QByteArray &samples, quint8 noteCode, quint8 durationByte)
{
    appendTone(samples, frequency(noteCode), durationUnits(durationByte) * kSamplesPerUnit);
}

QByteArray MelodyRenderer::withHeader(const QByteArray &samples)
{
    return header(quint32(samples.size())) + samples;
}
