// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringView>

#include <array>
#include <optional>

// The tempos offered in the tempo list, in list order.
inline constexpr std::array<QStringView, 5> TempoList{u"60", u"90", u"120", u"150", u"180"};

// A whole decimal number within 32 bits, optionally signed, with spaces around it allowed.
// Anything else (a decimal part, letters, other digits, a value beyond 32 bits) is no tempo.
std::optional<qint32> parseTempo(QStringView text);
