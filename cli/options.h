// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>

#include <optional>

// One option of the program, written "--name VALUE" or "--name=VALUE"; a flag names no value.
struct OptionSpec {
    QString name;      // without the leading "--"
    QString valueName; // shown in the help; empty for a flag
    QString help;      // one French sentence
};

// What the command line asks for, decided before any window or display is touched.
struct ParsedOptions {
    enum class Action { Run, Help, HelpAll, Version, UsageError };

    Action action = Action::Run;
    QString error;                 // French, for stderr, with Action::UsageError
    QMap<QString, QString> values; // the options given; a flag maps to an empty text

    bool isSet(const QString &name) const { return values.contains(name); }
    QString value(const QString &name) const { return values.value(name); }
};

// Checks every argument against the program's options and Qt's own (-platform, -style...),
// which it leaves for QApplication. Texts are French and name arguments as they were typed.
class Options {
public:
    Options(QString program, QString description, QList<OptionSpec> options);

    // arguments: argv without the program name, as the system gave them.
    ParsedOptions parse(const QList<QByteArray> &arguments) const;
    ParsedOptions parse(int argc, const char *const *argv) const;

    // Prints the help, the version or the usage error the command line asks for, and returns
    // the exit code then; nothing when the program is to run.
    std::optional<int> reply(const ParsedOptions &parsed, const QString &version) const;

    QString helpText(bool withQtOptions = false) const;
    QString versionText(const QString &version) const;

    // An argument as the user would type it: invalid UTF-8 bytes and control characters as
    // \xHH escapes, so the message never shows "�" or breaks a line.
    static QString shownArgument(const QByteArray &argument);

private:
    ParsedOptions usageError(const QString &error) const;
    const OptionSpec *find(QStringView name) const;

    QString m_program;
    QString m_description;
    QList<OptionSpec> m_options;
};
