// SPDX-License-Identifier: GPL-3.0-or-later
#include "options.h"

#include "showntext.h"

#include <QStringDecoder>

#include <algorithm>
#include <array>
#include <cstdio>

namespace {

// Qt's own options, which QApplication takes out of argv (see --help-all). They are written
// with one dash or two; only -style and -stylesheet also take their value after "=".
struct QtOption {
    QStringView name;
    QStringView valueName; // empty for a flag
    QStringView help;      // empty: accepted, not shown
    bool takesEquals = false;
};

constexpr std::array<QtOption, 22> kQtOptions{{
    {u"platform", u"NOM", u"Greffon de plateforme : xcb, wayland, offscreen…"},
    {u"platformtheme", u"NOM", u"Thème de la plateforme."},
    {u"platformpluginpath", u"DOSSIER", u"Dossier des greffons de plateforme."},
    {u"plugin", u"NOM", u"Greffon supplémentaire à charger."},
    {u"style", u"NOM", u"Style des commandes : Fusion, Adwaita, Adwaita-Dark…", true},
    {u"stylesheet", u"FICHIER", u"Feuille de style Qt à appliquer.", true},
    {u"display", u"AFFICHAGE", u"Serveur X à utiliser (xcb)."},
    {u"qwindowgeometry", u"GÉOMÉTRIE", u"Position de la fenêtre."},
    {u"qwindowtitle", u"TITRE", u"Titre de la fenêtre."},
    {u"qwindowicon", u"FICHIER", u"Icône de la fenêtre."},
    {u"reverse", {}, u"Dispose la fenêtre de droite à gauche."},
    {u"geometry", u"GÉOMÉTRIE", {}},
    {u"title", u"TITRE", {}},
    {u"icon", u"FICHIER", {}},
    {u"name", u"NOM", {}},
    {u"visual", u"VISUEL", {}},
    {u"session", u"SESSION", {}},
    {u"widgetcount", {}, {}},
    {u"sync", {}, {}},
    {u"nograb", {}, {}},
    {u"dograb", {}, {}},
    {u"testability", {}, {}},
}};

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

const QtOption *findQtOption(const QString &name)
{
    const auto it = std::find_if(kQtOptions.begin(), kQtOptions.end(),
                                 [&](const QtOption &option) { return option.name == name; });
    return it == kQtOptions.end() ? nullptr : &*it;
}

bool isValidUtf8(const QByteArray &bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    [[maybe_unused]] const QString decoded = decoder(bytes);
    return !decoder.hasError();
}

QString quoted(const QByteArray &argument)
{
    return QStringLiteral("« %1 »").arg(Options::shownArgument(argument));
}

// Words wrapped to a terminal's 80 columns, the lines after the first starting with indent.
QString wrappedLine(const QString &words, qsizetype used, const QString &indent)
{
    constexpr qsizetype kLineWidth = 79;
    QString text;
    for (const QString &word : words.split(u' ')) {
        if (!text.isEmpty() && used + 1 + word.size() > kLineWidth) {
            text += u'\n' + indent;
            used = indent.size();
        } else if (!text.isEmpty()) {
            text += u' ';
            ++used;
        }
        text += word;
        used += word.size();
    }
    return text + u'\n';
}

// The same for a text of several lines: each starts a new line, and the count, again.
QString wrapped(const QString &words, qsizetype used, const QString &indent)
{
    QString text;
    for (const QString &line : words.split(u'\n')) {
        if (!text.isEmpty()) {
            text += indent;
            used = indent.size();
        }
        text += wrappedLine(line, used, indent);
    }
    return text;
}

// One option of the help: its name in a column of width, its help beside it.
QString helpLine(const QString &left, qsizetype width, const QString &help)
{
    const QString indent(width + 4, u' ');
    return QStringLiteral("  ") + left.leftJustified(width) + QStringLiteral("  ") +
           wrapped(help, indent.size(), indent);
}

} // namespace

Options::Options(QString program, QString description, QList<OptionSpec> options)
    : m_program(std::move(program))
    , m_description(std::move(description))
    , m_options(std::move(options))
{
}

const OptionSpec *Options::find(QStringView name) const
{
    const auto it = std::find_if(m_options.begin(), m_options.end(),
                                 [&](const OptionSpec &option) { return option.name == name; });
    return it == m_options.end() ? nullptr : &*it;
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
    ParsedOptions result;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QByteArray &argument = arguments[i];
        if (argument == "--") {
            if (i + 1 < arguments.size()) // no option of ours takes plain arguments
                return usageError(
                    QStringLiteral("argument inattendu : %1").arg(quoted(arguments[i + 1])));
            break;
        }
        if (!argument.startsWith('-') || argument == "-")
            return usageError(QStringLiteral("argument inattendu : %1").arg(quoted(argument)));
        if (argument == "-h" || argument == "-?" || argument == "--help") {
            result.action = ParsedOptions::Action::Help;
            return result;
        }
        if (argument == "--help-all") {
            result.action = ParsedOptions::Action::HelpAll;
            return result;
        }
        if (argument == "-v" || argument == "--version") {
            result.action = ParsedOptions::Action::Version;
            return result;
        }

        const Argument parts = split(argument);
        const QtOption *qt = findQtOption(parts.name);
        if (qt && (!parts.hasValue || qt->takesEquals)) {
            if (!qt->valueName.isEmpty() && !parts.hasValue && ++i >= arguments.size())
                return usageError(
                    QStringLiteral("il manque la valeur de l'option -%1").arg(parts.name));
            continue; // QApplication takes it
        }
        const OptionSpec *declared = parts.doubleDash ? find(parts.name) : nullptr;
        if (!declared)
            return usageError(QStringLiteral("option inconnue : %1").arg(quoted(argument)));
        const QString option = QStringLiteral("--") + declared->name;
        if (result.values.contains(declared->name))
            return usageError(QStringLiteral("l'option %1 est donnée deux fois").arg(option));

        if (declared->valueName.isEmpty()) {
            if (parts.hasValue)
                return usageError(QStringLiteral("l'option %1 ne prend pas de valeur").arg(option));
            result.values.insert(declared->name, QString());
            continue;
        }
        const QString what = declared->valueName.toLower();
        QByteArray value = parts.value;
        if (!parts.hasValue) {
            // "--com1 --com2" forgot the first device: a name starting with "-" is taken only
            // after "=".
            if (i + 1 >= arguments.size() || arguments[i + 1].startsWith('-'))
                return usageError(
                    QStringLiteral("il manque le %1 de l'option %2").arg(what, option));
            value = arguments[++i];
        }
        if (value.isEmpty())
            return usageError(QStringLiteral("le %1 de l'option %2 est vide").arg(what, option));
        if (!isValidUtf8(value))
            return usageError(QStringLiteral("le %1 de l'option %2 n'est pas un nom UTF-8 valide : "
                                             "%3 ; donnez plutôt un lien symbolique qui en porte "
                                             "un")
                                  .arg(what, option, quoted(value)));
        result.values.insert(declared->name, QString::fromUtf8(value));
    }
    return result;
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
        {QStringLiteral("-h, --help"), QStringLiteral("Affiche cette aide et quitte.")},
        {QStringLiteral("--help-all"),
         QStringLiteral("Affiche aussi les options de Qt et quitte.")},
        {QStringLiteral("-v, --version"), QStringLiteral("Affiche la version et quitte.")},
    };
    for (const OptionSpec &option : m_options) {
        QString left = QStringLiteral("--") + option.name;
        if (!option.valueName.isEmpty())
            left += u' ' + option.valueName;
        lines.append({left, option.help});
    }
    const qsizetype ours = lines.size();
    if (withQtOptions) {
        for (const QtOption &option : kQtOptions) {
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

    QString text = QStringLiteral("Utilisation : %1 [options]\n%2\nOptions :\n")
                       .arg(m_program, wrapped(m_description, 0, QString()));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i == ours)
            text += QStringLiteral("\nOptions de Qt :\n");
        text += helpLine(lines[i].left, width, lines[i].help);
    }
    return text;
}

QString Options::versionText(const QString &version) const
{
    return QStringLiteral("%1 %2\n").arg(m_program, version);
}
