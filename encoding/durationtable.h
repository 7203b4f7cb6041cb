// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringView>

#include <array>
#include <optional>

struct DurationEntry {
    QStringView name;
    qint32 dividend; // 6000 times the note value counted in quarter notes
};

// The note values offered in the duration list, longest first.
inline constexpr std::array<DurationEntry, 9> DurationTable{{
    {u"Ronde=4 Noires", 24000},
    {u"Blanche pointée", 18000},
    {u"Blanche=2 Noires", 12000},
    {u"Noire pointée", 9000},
    {u"Noire", 6000},
    {u"Croche pointée", 4500},
    {u"Croche=1/2 Noire", 3000},
    {u"Double Croche pointée", 2250},
    {u"Double Croche=1/4 Noire", 1500},
}};

// Exact, case-sensitive match of the whole name.
std::optional<qint32> DurationDividendFor(QStringView name);

// The three quotients too long for the duration byte, and the byte values that stand for them.
struct DurationFold {
    qint32 quotient;
    quint8 byte;
};
inline constexpr std::array<DurationFold, 3> DurationFolds{{{400, 255}, {300, 254}, {266, 253}}};

enum class DurationProblem {
    None,
    TempoNotANumber,
    TempoNotPositive,
    TempoTooLarge, // a whole number beyond 32 bits, which says more than "not a number"
    OutOfByteRange,
    ZeroLength,   // the board would play a note of no length
    ReservedByte, // a natural 253, 254 or 255, which the board reads as 266, 300 or 400
};

struct DurationResult {
    DurationProblem problem = DurationProblem::None;
    qint32 tempo = 0;    // the tempo the text spells, when it spells one
    qint32 value = 0;    // the duration value; outside 0 to 255 only with OutOfByteRange
    qint32 quotient = 0; // dividend div tempo, before the folds

    bool ok() const { return problem == DurationProblem::None; }
};

// The quotient a folded duration byte stands for (253 is 266); none for any other byte.
std::optional<qint32> foldedQuotient(quint8 byte);

// dividend div tempo, truncated, with 400, 300 and 266 folded into 255, 254 and 253 so that
// the longest listed values still fit in the duration byte. A quotient the board would misread
// (0, or a 253 to 255 that no fold gave) is reported, never sent.
DurationResult ComputeDurationCode(qint32 dividend, QStringView tempoText);
