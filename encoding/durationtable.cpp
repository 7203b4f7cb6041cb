// SPDX-License-Identifier: GPL-3.0-or-later
#include "durationtable.h"

#include "tempolist.h"

#include <algorithm>

std::optional<qint32> DurationDividendFor(QStringView name)
{
    for (const DurationEntry &entry : DurationTable) {
        if (entry.name == name)
            return entry.dividend;
    }
    return std::nullopt;
}

std::optional<qint32> foldedQuotient(quint8 byte)
{
    for (const DurationFold &fold : DurationFolds) {
        if (fold.byte == byte)
            return fold.quotient;
    }
    return std::nullopt;
}

namespace {

// Digits only, between the spaces and tabs parseTempo allows and after a plus sign: what
// parseTempo refuses of such a text is its size.
bool isLargeWholeNumber(QStringView text)
{
    auto blank = [](QChar c) {
        return c == u' ' || c == u'\t';
    };
    while (!text.isEmpty() && blank(text.front()))
        text = text.mid(1);
    while (!text.isEmpty() && blank(text.back()))
        text.chop(1);
    if (text.startsWith(u'+'))
        text = text.mid(1);
    return !text.isEmpty() &&
           std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

} // namespace

DurationResult ComputeDurationCode(qint32 dividend, QStringView tempoText)
{
    DurationResult result;
    const std::optional<qint32> tempo = parseTempo(tempoText);
    if (!tempo) {
        result.problem = isLargeWholeNumber(tempoText) ? DurationProblem::TempoTooLarge
                                                       : DurationProblem::TempoNotANumber;
        return result;
    }
    result.tempo = *tempo;
    if (*tempo <= 0) {
        result.problem = DurationProblem::TempoNotPositive;
        return result;
    }

    result.quotient = dividend / *tempo;
    qint32 value = result.quotient;
    for (const DurationFold &fold : DurationFolds) {
        if (value == fold.quotient)
            value = fold.byte;
    }
    result.value = value;

    if (value < 0 || value > 255) {
        result.problem = DurationProblem::OutOfByteRange;
    } else if (value == 0) {
        result.problem = DurationProblem::ZeroLength;
    } else if (value == result.quotient && foldedQuotient(quint8(value))) {
        result.problem = DurationProblem::ReservedByte;
    }
    return result;
}
