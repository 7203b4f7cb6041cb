// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "optionspec.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include <optional>
#include <utility>

// What the command line asks for, decided before any window or display is touched.
struct ParsedOptions {
    enum class Action { Run, Help, HelpAll, Version, UsageError };

    Action action = Action::Run;
    QString error;                   // French, for stderr, with Action::UsageError
    QMap<QString, QString> values;   // the options given; a flag maps to an empty text
    QMap<QString, QString> defaults; // the table's values for the options not given
    QStringList positionals;         // in the order given

    bool isSet(const QString &name) const { return values.contains(name); }
    QString value(const QString &name) const { return values.value(name, defaults.value(name)); }
    // An option with a range: the parser has checked the value.
    int number(const QString &name) const { return value(name).toInt(); }
    // An option with a range: nothing when not given.
    std::optional<int> numberIfSet(const QString &name) const;
    // An option of "A-B": the parser has checked both ends; nothing when not given.
    std::optional<std::pair<int, int>> interval(const QString &name) const;
};

// Checks every argument against the program's options. Texts are French and name arguments
// as they were typed.
class Options {
public:
    // Only a program that makes a QApplication takes Qt's own options (-platform, -style...);
    // the parser leaves them in argv for it and shows them under --help-all.
    enum class QtOptions { Refused, LeftForQApplication };

    Options(QString program, QString description, QList<OptionSpec> options,
            QList<PositionalSpec> positionals = {}, QtOptions qtOptions = QtOptions::Refused);

    // arguments: argv without the program name, as the system gave them.
    ParsedOptions parse(const QList<QByteArray> &arguments) const;
    ParsedOptions parse(int argc, const char *const *argv) const;

    // Prints the help, the version or the usage error the command line asks for, and returns
    // the exit code then; nothing when the program is to run.
    std::optional<int> reply(const ParsedOptions &parsed, const QString &version) const;

    QString helpText(bool withQtOptions = false) const;
    // For a rule between options that the table does not say, checked by the program: error
    // is French, without the program's name.
    ParsedOptions usageError(const QString &error) const;
    QString versionText(const QString &version) const;

    // An argument as the user would type it: invalid UTF-8 bytes and control characters as
    // \xHH escapes, so the message never shows "�" or breaks a line.
    static QString shownArgument(const QByteArray &argument);

private:
    const OptionSpec *find(QStringView name) const;
    // Each returns the usage error, when there is one.
    std::optional<QString> takeOption(const QList<QByteArray> &arguments, qsizetype &i,
                                      ParsedOptions &result) const;
    std::optional<QString> takePositional(const QByteArray &argument, ParsedOptions &result) const;
    std::optional<QString> missingPositional(const ParsedOptions &result) const;
    const PositionalSpec *positionalAt(qsizetype index) const;

    QString m_program;
    QString m_description;
    QList<OptionSpec> m_options;
    QList<PositionalSpec> m_positionals;
    QtOptions m_qtOptions;
};
