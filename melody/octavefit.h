// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <optional>

// Moving a melody by whole octaves into the table's three, the least it takes.
namespace OctaveFit {

// The shift in octaves for notes from low to high (table codes, possibly outside 1..36);
// nothing when no shift puts them all inside.
std::optional<int> shiftFor(int lowCode, int highCode);
// "Mélodie montée de 1 octave pour tenir entre Do2 et Si4."
QString remark(int shift);

} // namespace OctaveFit
