// SPDX-License-Identifier: GPL-3.0-or-later
#include "notetone.h"

#include "boardtiming.h"
#include "notetable.h"

#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

void appendSample(QByteArray &out, double value)
{
    char bytes[2];
    qToLittleEndian(quint16(qint16(std::lround(value))), bytes);
    out.append(bytes, 2);
}

} // namespace

NoteTone::NoteTone(quint8 noteCode, quint8 durationByte, Tone tone)
    : m_frequency(frequency(noteCode))
    , m_length(durationUnits(durationByte) * kSamplesPerUnit)
    , m_tone(tone)
{
}

double NoteTone::frequency(quint8 noteCode)
{
    if (noteCode == 0 || noteCode > NoteTable.back().code)
        return 0.0;
    return 440.0 * std::pow(2.0, (int(noteCode) - 22) / 12.0);
}

double NoteTone::envelope(int i) const
{
    const int fade = std::min(kFadeSamples, m_length / 2);
    if (i < fade)
        return double(i) / fade;
    if (i >= m_length - fade)
        return double(m_length - 1 - i) / fade;
    return 1.0;
}

double NoteTone::sample(int i) const
{
    if (m_frequency <= 0)
        return 0.0;
    const double wave = std::sin(2 * std::numbers::pi * m_frequency * i / kSampleRate);
    const double shaped = m_tone == Tone::Sine ? wave : (wave < 0 ? -1.0 : 1.0);
    return kAmplitude * envelope(i) * shaped;
}

void NoteTone::append(QByteArray &out, int from, int count) const
{
    const int end = std::min(m_length, from + count);
    for (int i = std::max(0, from); i < end; ++i)
        appendSample(out, sample(i));
}

void NoteTone::appendFadeOut(QByteArray &out, int from) const
{
    const int end = std::min(m_length, from + kFadeSamples);
    for (int i = std::max(0, from); i < end; ++i)
        appendSample(out, sample(i) * double(end - 1 - i) / kFadeSamples);
}
