// SPDX-License-Identifier: GPL-3.0-or-later
#include "notetone.h"

#include "boardtiming.h"
#include "notetable.h"

#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

// Appends count samples made by value(i) for i from first on, written in place.
template<typename Value> void appendSamples(QByteArray &out, int first, int count, Value value)
{
    if (count <= 0)
        return;
    const qsizetype at = out.size();
    out.resize(at + 2 * qsizetype(count));
    char *bytes = out.data() + at;
    for (int i = 0; i < count; ++i, bytes += 2)
        qToLittleEndian(quint16(qint16(std::lround(value(first + i)))), bytes);
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
    const double cycles = m_frequency * i / kSampleRate;
    const double shaped = m_tone == Tone::Sine ? std::sin(2 * std::numbers::pi * cycles)
                          : cycles - std::floor(cycles) < 0.5 ? 1.0
                                                              : -1.0;
    return kAmplitude * envelope(i) * shaped;
}

void NoteTone::append(QByteArray &out, int from, int count) const
{
    const int first = std::max(0, from);
    appendSamples(out, first, std::min(m_length, from + count) - first,
                  [this](int i) { return sample(i); });
}

void NoteTone::appendFadeOut(QByteArray &out, int from) const
{
    const int first = std::max(0, from);
    const int end = std::min(m_length, from + kFadeSamples);
    appendSamples(out, first, end - first,
                  [this, end](int i) { return sample(i) * double(end - 1 - i) / kFadeSamples; });
}
