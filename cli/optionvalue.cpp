// SPDX-License-Identifier: GPL-3.0-or-later
#include "optionvalue.h"

#include "options.h"
#include "showntext.h"

#include <QStringDecoder>

#include <algorithm>

namespace {

// "square ou sine", "a, b ou c".
QString alternatives(const QStringList &choices)
{
    if (choices.size() < 2)
        return choices.join(QString());
    return QStringLiteral("%1 ou %2")
        .arg(choices.mid(0, choices.size() - 1).join(QStringLiteral(", ")), choices.back());
}

// What the value must be, for the messages: "un nombre entier de 1 à 31", "square ou sine".
QString expected(const OptionSpec &spec)
{
    if (spec.range)
        return QStringLiteral("un nombre entier de %1 à %2")
            .arg(QString::number(spec.range->lowest), QString::number(spec.range->highest));
    return alternatives(spec.choices);
}

} // namespace

bool isValidUtf8(const QByteArray &bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    [[maybe_unused]] const QString decoded = decoder(bytes);
    return !decoder.hasError();
}

QString quotedArgument(const QByteArray &argument)
{
    return QStringLiteral("« %1 »").arg(shownAsTyped(QByteArrayView(argument)));
}

// Plain ASCII digits, with a minus sign for numbers below zero: "+5", " 5", "5x" and "٥" are
// not numbers a user means, and "0x10" is not what they see.
std::optional<qint64> wholeNumber(const QByteArray &text)
{
    const QByteArray digits = text.startsWith('-') ? text.mid(1) : text;
    if (digits.isEmpty() ||
        !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    bool ok = false;
    const qint64 value = text.toLongLong(&ok);
    return ok ? std::optional(value) : std::nullopt; // too many digits for any range
}

QString missingValue(const OptionSpec &spec, const QString &option)
{
    if (spec.range || !spec.choices.isEmpty())
        return QStringLiteral("il manque la valeur de l'option %1 : %2")
            .arg(option, expected(spec));
    return QStringLiteral("il manque le %1 de l'option %2").arg(spec.valueName.toLower(), option);
}

std::optional<QString> valueProblem(const OptionSpec &spec, const QString &option,
                                    const QByteArray &value)
{
    const bool chosen = spec.choices.contains(QString::fromUtf8(value)) && isValidUtf8(value);
    const std::optional<qint64> number = spec.range ? wholeNumber(value) : std::nullopt;
    if ((spec.range &&
         (!number || *number < spec.range->lowest || *number > spec.range->highest)) ||
        (!spec.choices.isEmpty() && !chosen))
        return QStringLiteral("l'option %1 attend %2, pas %3")
            .arg(option, expected(spec),
                 value.isEmpty() ? QStringLiteral("une valeur vide") : quotedArgument(value));
    const QString what = spec.valueName.toLower();
    if (value.isEmpty())
        return QStringLiteral("le %1 de l'option %2 est vide").arg(what, option);
    if (!isValidUtf8(value))
        return QStringLiteral("le %1 de l'option %2 n'est pas un nom UTF-8 valide : %3 ; donnez "
                              "plutôt un lien symbolique qui en porte un")
            .arg(what, option, quotedArgument(value));
    return std::nullopt;
}

// Where the value of an option given without "=" is: the next argument, unless that one looks
// like an option ("--com1 --com2" forgot the first device). A name starting with "-" is taken
// only after "="; so is a number below zero, except by an option that allows one.
bool valueFollows(const OptionSpec &spec, const QList<QByteArray> &arguments, qsizetype i)
{
    if (i + 1 >= arguments.size())
        return false;
    const QByteArray &next = arguments[i + 1];
    return !next.startsWith('-') || (spec.range && wholeNumber(next).has_value());
}
