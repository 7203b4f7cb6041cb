#include "durationtable.h"

#include "tempolist.h"

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

DurationResult ComputeDurationCode(qint32 dividend, QStringView tempoText)
{
    DurationResult result;
    const std::optional<qint32> tempo = parseTempo(tempoText);
    if (!tempo) {
        result.problem = DurationProblem::TempoNotANumber;
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
