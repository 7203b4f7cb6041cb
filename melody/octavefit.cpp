// SPDX-License-Identifier: GPL-3.0-or-later
#include "octavefit.h"

#include "notetable.h"

#include <algorithm>
#include <cstdlib>

namespace {

constexpr int kLowestCode = 1;
constexpr int kHighestCode = int(NoteTable.size());
constexpr int kOctave = 12;

int floorDiv(int a, int b)
{
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

} // namespace

std::optional<int> OctaveFit::shiftFor(int lowCode, int highCode)
{
    const int lowestShift = -floorDiv(lowCode - kLowestCode, kOctave);
    const int highestShift = floorDiv(kHighestCode - highCode, kOctave);
    if (highCode - lowCode + 1 > kHighestCode || lowestShift > highestShift)
        return std::nullopt;
    return std::clamp(0, lowestShift, highestShift);
}

QString OctaveFit::remark(int shift)
{
    return QStringLiteral("Mélodie %1 de %2 pour tenir entre %3 et %4.")
        .arg(shift > 0 ? QStringLiteral("montée") : QStringLiteral("descendue"),
             std::abs(shift) == 1 ? QStringLiteral("1 octave")
                                  : QStringLiteral("%1 octaves").arg(std::abs(shift)),
             NoteTable.front().name.toString(), NoteTable.back().name.toString());
}
