// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>
#include <utility>

// The whole numbers an option's value may be, both ends included.
struct WholeRange {
    int lowest = 0;
    int highest = 0;
};

// One option of the program, written "--name VALUE" or "--name=VALUE". A flag names no value,
// no range and no choices. A table holds one line for each, made by one of the four below.
struct OptionSpec {
    QString name;      // without the leading "--"
    QString valueName; // shown in the help; empty for a flag, or for choices shown as a|b
    QString help;      // one French sentence
    std::optional<WholeRange> range; // the value must be a whole number in it
    bool isInterval = false;         // ...or two of them, "A-B" with A at most B
    QStringList choices;             // the value must be one of these words
    QString byDefault;               // the value when the option is not given

    bool takesValue() const { return !valueName.isEmpty() || range || !choices.isEmpty(); }

    static OptionSpec flag(QString name, QString help);
    static OptionSpec text(QString name, QString valueName, QString help, QString byDefault = {});
    static OptionSpec number(QString name, QString valueName, WholeRange range, QString help,
                             std::optional<int> byDefault = std::nullopt);
    static OptionSpec choice(QString name, QStringList choices, QString help,
                             QString byDefault = {});
    static OptionSpec interval(QString name, QString valueName, WholeRange range, QString help);
};

// Arguments that are not options, such as a file: exactly count of them, in the help as name.
struct PositionalSpec {
    QString name; // in capitals, as in "Utilisation : tinkora-send [options] FICHIER"
    QString help;
    int count = 1;
};

// The rules an option's value follows, and the French sentence for the one it breaks. Values
// are the bytes the system gave: a device or file name need not be text.

bool isValidUtf8(const QByteArray &bytes);

// An argument between « », shown as the user would type it.
QString quotedArgument(const QByteArray &argument);

// Plain ASCII digits, with a minus sign for numbers below zero.
std::optional<qint64> wholeNumber(const QByteArray &text);
// "A-B" of two whole numbers at least 0, A at most B.
std::optional<std::pair<qint64, qint64>> wholeInterval(const QByteArray &text);

// Whether arguments[i + 1] is the value of the option at i, given without "=".
bool valueFollows(const OptionSpec &rule, const QList<QByteArray> &arguments, qsizetype i);

// option: the option as typed, such as "--from".
QString missingValue(const OptionSpec &rule, const QString &option);
std::optional<QString> valueProblem(const OptionSpec &rule, const QString &option,
                                    const QByteArray &value);
