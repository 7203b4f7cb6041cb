// SPDX-License-Identifier: GPL-3.0-or-later
#include "rtttlnote.h"

#include <algorithm>
#include <iterator>

namespace {

constexpr int kOctave = 12;

bool take(QStringView text, qsizetype &i, QChar c)
{
    if (i < text.size() && text[i] == c) {
        ++i;
        return true;
    }
    return false;
}

QStringView digitsAt(QStringView text, qsizetype &i)
{
    const qsizetype start = i;
    while (i < text.size() && text[i].isDigit())
        ++i;
    return text.sliced(start, i - start);
}

} // namespace

RtttlNote RtttlNote::parse(QStringView token, int defaultDuration, int defaultOctave)
{
    RtttlNote note;
    qsizetype i = 0;
    const QStringView durationDigits = digitsAt(token, i);
    // The dot comes after the duration, the note or the octave, depending on who wrote it.
    const bool dotFirst = take(token, i, u'.');
    QChar letter = i < token.size() ? token[i++].toLower() : QChar();
    if (letter == u'h')
        letter = u'b'; // the German name of B
    const bool sharp = take(token, i, u'#');
    const bool dotBefore = take(token, i, u'.');
    const QStringView octaveDigits = digitsAt(token, i);
    const bool dotAfter = take(token, i, u'.');

    constexpr QStringView kLetters = u"c d ef g a b";
    const qsizetype position = letter.isNull() || letter == u' ' ? -1 : kLetters.indexOf(letter);
    const bool rest = letter == u'p';
    if (i != token.size() || (position < 0 && !rest) || int(dotFirst) + dotBefore + dotAfter > 1 ||
        (rest && sharp))
        return note;

    note.kind = rest ? Kind::Rest : Kind::Note;
    note.duration = durationDigits.isEmpty() ? defaultDuration : number(durationDigits).value_or(0);
    note.dotted = dotFirst || dotBefore || dotAfter;
    note.octave = octaveDigits.isEmpty() ? defaultOctave : number(octaveDigits);
    note.semitone = int(position) + (sharp ? 1 : 0);
    return note;
}

std::optional<int> RtttlNote::number(QStringView digits)
{
    if (digits.isEmpty())
        return std::nullopt;
    int value = 0;
    int significant = 0;
    for (QChar c : digits) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        if (value == 0 && c == u'0')
            continue; // "00016" is 16
        if (++significant > 9)
            value = kTooBig;
        else
            value = value * 10 + (c.unicode() - u'0');
    }
    return value;
}

std::optional<qsizetype> RtttlNote::valueIndex() const
{
    constexpr int kDurations[] = {1, 2, 4, 8, 16};
    const int *found = std::find(std::begin(kDurations), std::end(kDurations), duration);
    if (found == std::end(kDurations) || (duration == 1 && dotted))
        return std::nullopt;
    // The whole note, then each shorter value dotted and plain: 1, 2., 2, 4., 4, 8., 8, 16., 16.
    const qsizetype plain = 2 * (found - std::begin(kDurations));
    return dotted ? plain - 1 : plain;
}

int RtttlNote::code() const
{
    // RTTTL octave o is octave o - 1 here, and code 1 is "Do2".
    return kOctave * (octave.value_or(0) - 3) + semitone + 1;
}
