// SPDX-License-Identifier: GPL-3.0-or-later
#include "sendoptions.h"

#include "transferstate.h"

#include <QCommandLineParser>

#include <optional>

namespace {

constexpr int kLongestPauseMs = 60 * 1000;

std::optional<int> wholeNumber(const QString &text, int lowest, int highest)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < lowest || value > highest || text.startsWith(u'+'))
        return std::nullopt;
    return value;
}

} // namespace

SendOptions SendOptions::parse(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Charge toute une mélodie dans l'EEPROM de la carte, comme autant de clics sur "
        "« Transfert », après avoir vérifié chaque note : rien n'est écrit si une seule est "
        "refusée.\n\n"
        "FICHIER : un tableau (.csv, .txt) d'une note par ligne « tempo;note;valeur » avec les "
        "textes des listes (120;La3;Noire ; séparateur « ; », « , » ou tabulation), ou une "
        "mélodie RTTTL (nom:d=4,o=5,b=120:8e6,8d#6,...).\n\n"
        "Codes de sortie : 0 mélodie écrite, 1 fichier refusé, 2 mauvaise commande, 3 port "
        "inutilisable, 4 interrompu (Ctrl-C)."));
    // Qt's own help and version options describe themselves in English.
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Affiche cette aide."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Affiche la version."));
    parser.addOptions({help, version});
    parser.addPositionalArgument(QStringLiteral("FICHIER"),
                                 QStringLiteral("La mélodie, tableau ou RTTTL."));
    const QCommandLineOption port(
        QStringLiteral("port"), QStringLiteral("COM1, COM2 ou un périphérique (par défaut COM1)."),
        QStringLiteral("PORT"), QStringLiteral("COM1"));
    const QCommandLineOption from(
        QStringLiteral("from"),
        QStringLiteral("Premier emplacement écrit, de 1 à %1 (par défaut 1).")
            .arg(TransferState::MaxNotes),
        QStringLiteral("N"), QStringLiteral("1"));
    const QCommandLineOption gap(
        QStringLiteral("gap"),
        QStringLiteral("Pause après chaque trame sortie sur la ligne, en ms (par défaut 50)."),
        QStringLiteral("MS"), QStringLiteral("50"));
    const QCommandLineOption wait(
        QStringLiteral("wait"),
        QStringLiteral("Pause entre l'ouverture du port et la première trame, en ms (par "
                       "défaut 0), pour une carte qui redémarre à l'ouverture."),
        QStringLiteral("MS"), QStringLiteral("0"));
    const QCommandLineOption dryRun(QStringLiteral("dry-run"),
                                    QStringLiteral("Affiche les trames sans ouvrir de port."));
    const QCommandLineOption skipRests(QStringLiteral("skip-rests"),
                                       QStringLiteral("Ignore les silences (p) d'une mélodie "
                                                      "RTTTL au lieu de refuser le fichier."));
    const QCommandLineOption wav(
        QStringLiteral("wav"),
        QStringLiteral("Écrit ce que jouerait la carte (WAV 16 bits mono 44,1 kHz)."),
        QStringLiteral("FICHIER"));
    parser.addOptions({port, from, gap, wait, dryRun, skipRests, wav});

    SendOptions options;
    options.helpText = parser.helpText()
                           .replace(QStringLiteral("Usage:"), QStringLiteral("Utilisation :"))
                           .replace(QStringLiteral("Options:"), QStringLiteral("Options :"))
                           .replace(QStringLiteral("Arguments:"), QStringLiteral("Arguments :"));
    const auto usage = [&options](const QString &error) {
        options.action = Action::Usage;
        options.usageError = error;
        return options;
    };
    if (!parser.parse(arguments)) {
        const QStringList unknown = parser.unknownOptionNames();
        return usage(unknown.isEmpty()
                         ? QStringLiteral("une valeur manque après une option")
                         : QStringLiteral("option inconnue « %1 »").arg(unknown.constFirst()));
    }
    if (parser.isSet(help)) {
        options.action = Action::Help;
        return options;
    }
    if (parser.isSet(version)) {
        options.action = Action::Version;
        return options;
    }

    const QStringList files = parser.positionalArguments();
    if (files.size() != 1)
        return usage(files.isEmpty() ? QStringLiteral("indiquez le fichier de la mélodie")
                                     : QStringLiteral("un seul fichier à la fois"));
    options.file = files.constFirst();
    options.port = parser.value(port);
    if (options.port.isEmpty())
        return usage(QStringLiteral("--port attend COM1, COM2 ou un périphérique"));

    const std::optional<int> firstSlot =
        wholeNumber(parser.value(from), 1, TransferState::MaxNotes);
    if (!firstSlot)
        return usage(QStringLiteral("--from attend un emplacement de 1 à %1, pas « %2 »")
                         .arg(QString::number(TransferState::MaxNotes), parser.value(from)));
    options.firstSlot = *firstSlot;
    for (const auto &[option, target] : {std::pair{&gap, &options.gap}, {&wait, &options.wait}}) {
        const std::optional<int> ms = wholeNumber(parser.value(*option), 0, kLongestPauseMs);
        if (!ms)
            return usage(QStringLiteral("--%1 attend un nombre de millisecondes de 0 à %2, pas "
                                        "« %3 »")
                             .arg(option->names().constFirst(), QString::number(kLongestPauseMs),
                                  parser.value(*option)));
        *target = std::chrono::milliseconds(*ms);
    }
    options.dryRun = parser.isSet(dryRun);
    options.skipRests = parser.isSet(skipRests);
    options.wav = parser.value(wav);
    if (parser.isSet(wav) && options.wav.isEmpty())
        return usage(QStringLiteral("--wav attend un nom de fichier"));
    return options;
}
