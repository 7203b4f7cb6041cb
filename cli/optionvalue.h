// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

struct OptionSpec;

// The rules an option's value follows, and the French sentence for the one it breaks. Values
// are the bytes the system gave: a device or file name need not be text.

bool isValidUtf8(const QByteArray &bytes);

// An argument between « », shown as the user would type it.
QString quotedArgument(const QByteArray &argument);

// Plain ASCII digits, with a minus sign for numbers below zero.
std::optional<qint64> wholeNumber(const QByteArray &text);

// Whether arguments[i + 1] is the value of the option at i, given without "=".
bool valueFollows(const OptionSpec &spec, const QList<QByteArray> &arguments, qsizetype i);

// option: the option as typed, such as "--from".
QString missingValue(const OptionSpec &spec, const QString &option);
std::optional<QString> valueProblem(const OptionSpec &spec, const QString &option,
                                    const QByteArray &value);
