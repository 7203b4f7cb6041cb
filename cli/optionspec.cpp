// SPDX-License-Identifier: GPL-3.0-or-later
#include "optionspec.h"

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
QString expected(const OptionSpec &rule)
{
    if (rule.range && rule.isInterval)
        return QStringLiteral("deux nombres entiers de %1 à %2 joints par « - », le premier au "
                              "plus égal au second (comme 1-%3)")
            .arg(QString::number(rule.range->lowest), QString::number(rule.range->highest),
                 QString::number(std::min(rule.range->highest, 31)));
    if (rule.range)
        return QStringLiteral("un nombre entier de %1 à %2")
            .arg(QString::number(rule.range->lowest), QString::number(rule.range->highest));
    return alternatives(rule.choices);
}

// The value is a number or one of a few words, not any name.
bool isRestricted(const OptionSpec &rule)
{
    return rule.range || !rule.choices.isEmpty();
}

bool isAllowed(const OptionSpec &rule, const QByteArray &value)
{
    if (rule.range && rule.isInterval) {
        const auto ends = wholeInterval(value);
        return ends && ends->first >= rule.range->lowest && ends->second <= rule.range->highest;
    }
    if (rule.range) {
        const std::optional<qint64> number = wholeNumber(value);
        return number && *number >= rule.range->lowest && *number <= rule.range->highest;
    }
    return isValidUtf8(value) && rule.choices.contains(QString::fromUtf8(value));
}

} // namespace

OptionSpec OptionSpec::flag(QString name, QString help)
{
    OptionSpec rule;
    rule.name = std::move(name);
    rule.help = std::move(help);
    return rule;
}

OptionSpec OptionSpec::text(QString name, QString valueName, QString help, QString byDefault)
{
    OptionSpec rule = flag(std::move(name), std::move(help));
    rule.valueName = std::move(valueName);
    rule.byDefault = std::move(byDefault);
    return rule;
}

OptionSpec OptionSpec::number(QString name, QString valueName, WholeRange range, QString help,
                              std::optional<int> byDefault)
{
    Q_ASSERT(!byDefault || (*byDefault >= range.lowest && *byDefault <= range.highest));
    OptionSpec rule = text(std::move(name), std::move(valueName), std::move(help),
                           byDefault ? QString::number(*byDefault) : QString());
    rule.range = range;
    return rule;
}

OptionSpec OptionSpec::interval(QString name, QString valueName, WholeRange range, QString help)
{
    OptionSpec rule = text(std::move(name), std::move(valueName), std::move(help));
    rule.range = range;
    rule.isInterval = true;
    return rule;
}

OptionSpec OptionSpec::choice(QString name, QStringList choices, QString help, QString byDefault)
{
    Q_ASSERT(byDefault.isEmpty() || choices.contains(byDefault));
    OptionSpec rule = text(std::move(name), QString(), std::move(help), std::move(byDefault));
    rule.choices = std::move(choices);
    return rule;
}

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

std::optional<std::pair<qint64, qint64>> wholeInterval(const QByteArray &text)
{
    const qsizetype dash = text.indexOf('-');
    if (dash <= 0)
        return std::nullopt;
    const std::optional<qint64> first = wholeNumber(text.left(dash));
    const std::optional<qint64> last = wholeNumber(text.mid(dash + 1));
    if (!first || !last || *first > *last || text.mid(dash + 1).startsWith('-'))
        return std::nullopt;
    return std::pair(*first, *last);
}

QString missingValue(const OptionSpec &rule, const QString &option)
{
    if (isRestricted(rule))
        return QStringLiteral("il manque la valeur de l'option %1 : %2")
            .arg(option, expected(rule));
    return QStringLiteral("il manque le %1 de l'option %2").arg(rule.valueName.toLower(), option);
}

std::optional<QString> valueProblem(const OptionSpec &rule, const QString &option,
                                    const QByteArray &value)
{
    if (isRestricted(rule) && !isAllowed(rule, value))
        return QStringLiteral("l'option %1 attend %2, pas %3")
            .arg(option, expected(rule),
                 value.isEmpty() ? QStringLiteral("une valeur vide") : quotedArgument(value));
    const QString what = rule.valueName.toLower();
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
bool valueFollows(const OptionSpec &rule, const QList<QByteArray> &arguments, qsizetype i)
{
    if (i + 1 >= arguments.size())
        return false;
    const QByteArray &next = arguments[i + 1];
    return !next.startsWith('-') || (rule.range && wholeNumber(next).has_value());
}
