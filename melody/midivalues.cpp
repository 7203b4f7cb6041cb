// SPDX-License-Identifier: GPL-3.0-or-later
#include "midivalues.h"

#include "durationtable.h"

#include <QLocale>

#include <array>
#include <cstdlib>

namespace {

// The nine note values in eighths of a quarter, in the duration table's order.
constexpr std::array<int, 9> kEighths{32, 24, 16, 12, 8, 6, 4, 3, 2};
static_assert(kEighths.size() == DurationTable.size());

} // namespace

std::optional<int> MidiValues::exact(qint64 ticks, int ticksPerQuarter)
{
    // |ticks - value| <= ticksPerQuarter / 32, in whole numbers.
    for (std::size_t i = 0; i < kEighths.size(); ++i) {
        if (4 * std::abs(8 * ticks - kEighths[i] * qint64(ticksPerQuarter)) <= ticksPerQuarter)
            return int(i);
    }
    return std::nullopt;
}

std::optional<int> MidiValues::holding(qint64 ticks, int ticksPerQuarter)
{
    for (std::size_t i = kEighths.size(); i-- > 0;) {
        const qint64 value = kEighths[i] * qint64(ticksPerQuarter); // eight times, in ticks
        if (32 * ticks <= 4 * value + ticksPerQuarter)
            return 16 * ticks >= value ? std::optional(int(i)) : exact(ticks, ticksPerQuarter);
    }
    return std::nullopt;
}

QString MidiValues::quarters(qint64 ticks, int ticksPerQuarter)
{
    const double count = double(ticks) / ticksPerQuarter;
    return QStringLiteral("%1 noire%2")
        .arg(QLocale(QLocale::French).toString(count, 'g', 3),
             count >= 2 ? QStringLiteral("s") : QString());
}
