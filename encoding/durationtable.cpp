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

    qint32 value = dividend / *tempo;
    if (value == 400)
        value = 255;
    if (value == 300)
        value = 254;
    if (value == 266)
        value = 253;

    result.value = value;
    if (value < 0 || value > 255)
        result.problem = DurationProblem::OutOfByteRange;
    return result;
}
