// SPDX-License-Identifier: GPL-3.0-or-later
#include "options.h"

#include "helplayout.h"
#include "qtoptions.h"
#include "showntext.h"

#include <algorithm>
#include <cstdio>

namespace {

struct Argument {
    QString name;     // without its dashes
    QByteArray value; // after "=", when there is one
    bool hasValue = false;
    bool doubleDash = false;
};

Argument split(const QByteArray &argument)
{
    Argument result;
    result.doubleDash = argument.startsWith("--");
    const QByteArray body = argument.mid(result.doubleDash ? 2 : 1);
    const qsizetype equals = body.indexOf('=');
    result.hasValue = equals >= 0;
    result.name = QString::fromUtf8(result.hasValue ? body.left(equals) : body);
    if (result.hasValue)
        result.value = body.mid(equals + 1);
    return result;
}

} // namespace

std::optional<int> ParsedOptions::numberIfSet(const QString &name) const
{
    return isSet(name) ? std::optional(number(name)) : std::nullopt;
}

std::optional<std::pair<int, int>> ParsedOptions::interval(const QString &name) const
{
    const auto ends = isSet(name) ? wholeInterval(value(name).toUtf8()) : std::nullopt;
    return ends ? std::optional(std::pair(int(ends->first), int(ends->second))) : std::nullopt;
}

Options::Options(QString program, QString description, QList<OptionSpec> options,
                 QList<PositionalSpec> positionals, QtOptions qtOptions)
    : m_program(std::move(program))
    , m_description(std::move(description))
    , m_options(std::move(options))
    , m_positionals(std::move(positionals))
    , m_qtOptions(qtOptions)
{
}

const OptionSpec *Options::find(QStringView name) const
{
    const auto it = std::find_if(m_options.begin(), m_options.end(),
                                 [&](const OptionSpec &option) { return option.name == name; });
    return it == m_options.end() ? nullptr : &*it;
}

const PositionalSpec *Options::positionalAt(qsizetype index) const
{
    for (const PositionalSpec &positional : m_positionals) {
        if (index < positional.count)
            return &positional;
        index -= positional.count;
    }
    return nullptr;
}

ParsedOptions Options::usageError(const QString &error) const
{
    ParsedOptions result;
    result.action = ParsedOptions::Action::UsageError;
    result.error = QStringLiteral("%1 : %2\nEssayez « %1 --help » pour en savoir plus.\n")
                       .arg(m_program, error);
    return result;
}

ParsedOptions Options::parse(const QList<QByteArray> &arguments) const
{
    using Action = ParsedOptions::Action;
    ParsedOptions result;
    bool optionsEnded = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QByteArray &argument = arguments[i];
        std::optional<QString> error;
        if (optionsEnded || !argument.startsWith('-') || argument == "-") {
            error = takePositional(argument, result);
        } else if (argument == "--") {
            optionsEnded = true;
        } else if (argument == "-h" || argument == "-?" || argument == "--help") {
            result.action = Action::Help;
            return result;
        } else if (argument == "--help-all" && m_qtOptions == QtOptions::LeftForQApplication) {
            result.action = Action::HelpAll;
            return result;
        } else if (argument == "-v" || argument == "--version") {
            result.action = Action::Version;
            return result;
        } else {
            error = takeOption(arguments, i, result);
        }
        if (error)
            return usageError(*error);
    }
    if (const std::optional<QString> error = missingPositional(result))
        return usageError(*error);
    for (const OptionSpec &option : m_options) {
        if (!option.byDefault.isEmpty() && !result.isSet(option.name))
            result.defaults.insert(option.name, option.byDefault);
    }
    return result;
}

std::optional<QString> Options::takeOption(const QList<QByteArray> &arguments, qsizetype &i,
                                           ParsedOptions &result) const
{
    const QByteArray &argument = arguments[i];
    const Argument parts = split(argument);
    const QtOption *qt =
        m_qtOptions == QtOptions::LeftForQApplication ? findQtOption(parts.name) : nullptr;
    if (qt && (!parts.hasValue || qt->takesEquals)) {
        if (!qt->valueName.isEmpty() && !parts.hasValue && ++i >= arguments.size())
            return QStringLiteral("il manque la valeur de l'option -%1").arg(parts.name);
        return std::nullopt; // QApplication takes it
    }
    const OptionSpec *declared = parts.doubleDash ? find(parts.name) : nullptr;
    if (!declared)
        return QStringLiteral("option inconnue : %1").arg(quotedArgument(argument));
    const QString option = QStringLiteral("--") + declared->name;
    if (result.values.contains(declared->name))
        return QStringLiteral("l'option %1 est donnée deux fois").arg(option);

    if (!declared->takesValue()) {
        if (parts.hasValue)
            return QStringLiteral("l'option %1 ne prend pas de valeur").arg(option);
        result.values.insert(declared->name, QString());
        return std::nullopt;
    }
    if (!parts.hasValue && !valueFollows(*declared, arguments, i))
        return missingValue(*declared, option);
    const QByteArray &value = parts.hasValue ? parts.value : arguments[++i];
    if (const std::optional<QString> problem = valueProblem(*declared, option, value))
        return problem;
    result.values.insert(declared->name, QString::fromUtf8(value));
    return std::nullopt;
}

std::optional<QString> Options::takePositional(const QByteArray &argument,
                                               ParsedOptions &result) const
{
    const PositionalSpec *positional = positionalAt(result.positionals.size());
    if (!positional)
        return QStringLiteral("argument inattendu : %1").arg(quotedArgument(argument));
    if (argument.isEmpty())
        return QStringLiteral("l'argument %1 est vide").arg(positional->name);
    if (!isValidUtf8(argument))
        return QStringLiteral("l'argument %1 n'est pas un nom UTF-8 valide : %2 ; donnez plutôt "
                              "un lien symbolique qui en porte un")
            .arg(positional->name, quotedArgument(argument));
    result.positionals.append(QString::fromUtf8(argument));
    return std::nullopt;
}

std::optional<QString> Options::missingPositional(const ParsedOptions &result) const
{
    if (const PositionalSpec *positional = positionalAt(result.positionals.size()))
        return QStringLiteral("il manque l'argument %1").arg(positional->name);
    return std::nullopt;
}

QString Options::shownArgument(const QByteArray &argument)
{
    return shownAsTyped(QByteArrayView(argument));
}

ParsedOptions Options::parse(int argc, const char *const *argv) const
{
    QList<QByteArray> arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QByteArray(argv[i]));
    return parse(arguments);
}

std::optional<int> Options::reply(const ParsedOptions &parsed, const QString &version) const
{
    switch (parsed.action) {
    case ParsedOptions::Action::Help:
    case ParsedOptions::Action::HelpAll:
        std::fputs(qUtf8Printable(helpText(parsed.action == ParsedOptions::Action::HelpAll)),
                   stdout);
        return 0;
    case ParsedOptions::Action::Version:
        std::fputs(qUtf8Printable(versionText(version)), stdout);
        return 0;
    case ParsedOptions::Action::UsageError:
        std::fputs(qUtf8Printable(parsed.error), stderr);
        return 2;
    case ParsedOptions::Action::Run:
        break;
    }
    return std::nullopt;
}

QString Options::helpText(bool withQtOptions) const
{
    struct Line {
        QString left;
        QString help;
    };
    QList<Line> lines{
        {QStringLiteral("-h, --help"), QStringLiteral("Affiche cette aide et quitte.")}};
    if (m_qtOptions == QtOptions::LeftForQApplication)
        lines.append({QStringLiteral("--help-all"),
                      QStringLiteral("Affiche aussi les options de Qt et quitte.")});
    lines.append(
        {QStringLiteral("-v, --version"), QStringLiteral("Affiche la version et quitte.")});
    for (const OptionSpec &option : m_options) {
        QString left = QStringLiteral("--") + option.name;
        if (!option.valueName.isEmpty())
            left += u' ' + option.valueName;
        else if (!option.choices.isEmpty())
            left += u' ' + option.choices.join(u'|');
        lines.append({left, option.help});
    }
    const qsizetype ours = lines.size();
    QString usage = QStringLiteral("Utilisation : %1 [options]").arg(m_program);
    for (const PositionalSpec &positional : m_positionals) {
        for (int i = 0; i < positional.count; ++i)
            usage += u' ' + positional.name;
        lines.append({positional.name, positional.help});
    }
    const qsizetype arguments = lines.size();
    if (withQtOptions) {
        for (const QtOption &option : qtOptions()) {
            if (option.help.isEmpty())
                continue;
            QString left = u'-' + option.name.toString();
            if (!option.valueName.isEmpty())
                left += u' ' + option.valueName.toString();
            lines.append({left, option.help.toString()});
        }
    }
    qsizetype width = 0;
    for (const Line &line : lines)
        width = std::max(width, line.left.size());

    QString text =
        usage + u'\n' + wrapped(m_description, 0, QString()) + QStringLiteral("\nOptions :\n");
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i == ours && ours != arguments)
            text += QStringLiteral("\nArguments :\n");
        if (i == arguments)
            text += QStringLiteral("\nOptions de Qt :\n");
        text += helpLine(lines[i].left, width, lines[i].help);
    }
    return text;
}

QString Options::versionText(const QString &version) const
{
    return QStringLiteral("%1 %2\n").arg(m_program, version);
}
