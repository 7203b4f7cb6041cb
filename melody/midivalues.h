// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <optional>

// A length in ticks as one of the nine note values, by index in the duration table.
namespace MidiValues {

// The value within 1/32 of a quarter of the length; nothing for a triplet, a 32nd note or more
// than a whole.
std::optional<int> exact(qint64 ticks, int ticksPerQuarter);
// For a note that nothing follows: the shortest value that holds the length (within 1/32 of a
// quarter), so long as the note sounds for more than half of it, as a note followed by another
// does.
std::optional<int> holding(qint64 ticks, int ticksPerQuarter);
// "0,333 noire", "2 noires"
QString quarters(qint64 ticks, int ticksPerQuarter);

} // namespace MidiValues
