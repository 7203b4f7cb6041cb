// SPDX-License-Identifier: GPL-3.0-or-later
#include "midiplaces.h"

#include <algorithm>

MidiPlaces::MidiPlaces(const MidiFile &file, int track)
    : m_track(track)
{
    const qint64 wholeNote = qint64(file.ticksPerQuarter) * 4;
    const auto beatOf = [&](int power) {
        return std::max<qint64>(1, wholeNote >> power);
    };
    m_spans.push_back({0, 0, beatOf(2), 4});
    for (const MidiFile::Meter &meter : file.meters) {
        const Span &last = m_spans.back();
        const qint64 bar = last.beat * last.beats;
        const qint64 bars = last.barsBefore + (meter.tick - last.tick + bar - 1) / bar;
        if (meter.tick == last.tick)
            m_spans.back() = {meter.tick, last.barsBefore, beatOf(meter.beatPower), meter.beats};
        else
            m_spans.push_back({meter.tick, bars, beatOf(meter.beatPower), meter.beats});
    }
}

QString MidiPlaces::at(qint64 tick) const
{
    const Span &span = *std::prev(std::upper_bound(
        m_spans.begin(), m_spans.end(), tick,
        [](qint64 value, const Span &candidate) { return value < candidate.tick; }));
    const qint64 bar = span.beat * span.beats;
    const qint64 into = tick - span.tick;
    return QStringLiteral("piste %1, mesure %2, temps %3 (tick %4)")
        .arg(QString::number(m_track), QString::number(span.barsBefore + into / bar + 1),
             QString::number(into % bar / span.beat + 1), QString::number(tick));
}
