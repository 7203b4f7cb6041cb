// SPDX-License-Identifier: GPL-3.0-or-later
#include "filemessages.h"
#include "files.h"
#include "melodyplan.h"
#include "melodyrenderer.h"
#include "melodysender.h"
#include "melodysource.h"
#include "options.h"
#include "playmelody.h"
#include "portmap.h"
#include "portmessages.h"
#include "processstart.h"
#include "quitsignals.h"
#include "serialportlink.h"
#include "showntext.h"
#include "stopawareoutput.h"
#include "transferstate.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

enum ExitCode {
    kWritten = 0,
    kFileRefused = 1,
    kUsage = 2,
    kPortFailed = 3,
    kInterrupted = 4,
    kNoSound = 5,
};

constexpr int kLongestPauseMs = 60 * 1000;

Options commandLine()
{
    const WholeRange pause{0, kLongestPauseMs};
    return Options(
        QStringLiteral("tinkora-send"),
        QStringLiteral(
            "Charge toute une mélodie dans l'EEPROM de la carte, comme autant de clics sur "
            "« Transfert », après avoir vérifié chaque note : rien n'est écrit si une seule est "
            "refusée.\n\n"
            "FICHIER : un tableau (.csv, .txt) d'une note par ligne « tempo;note;valeur » avec "
            "les textes des listes (120;La3;Noire ; séparateur « ; », « , » ou tabulation), ou "
            "une mélodie RTTTL (nom:d=4,o=5,b=120:8e6,8d#6,...), ou une ligne d'un fichier MIDI "
            "(.mid).\n\n"
            "Codes de sortie : %1 mélodie écrite, %2 fichier refusé, %3 mauvaise commande, %4 "
            "port inutilisable, %5 interrompu (Ctrl-C), %6 pas de son (--play).")
            .arg(kWritten)
            .arg(kFileRefused)
            .arg(kUsage)
            .arg(kPortFailed)
            .arg(kInterrupted)
            .arg(kNoSound),
        {
            OptionSpec::text(u"port"_s, u"PORT"_s,
                             u"COM1, COM2 ou un périphérique (par défaut COM1)."_s, u"COM1"_s),
            OptionSpec::number(u"from"_s, u"N"_s, {1, TransferState::MaxNotes},
                               u"Premier emplacement écrit, de 1 à %1 (par défaut 1)."_s.arg(
                                   TransferState::MaxNotes),
                               1),
            OptionSpec::number(u"gap"_s, u"MS"_s, pause,
                               u"Pause après chaque trame sortie sur la ligne, en ms (par défaut "
                               u"50)."_s,
                               50),
            OptionSpec::number(u"wait"_s, u"MS"_s, pause,
                               u"Pause entre l'ouverture du port et la première trame, en ms "
                               u"(par défaut 0), pour une carte qui redémarre à l'ouverture."_s,
                               0),
            OptionSpec::flag(u"dry-run"_s, u"Affiche les trames sans ouvrir de port."_s),
            OptionSpec::flag(u"skip-rests"_s, u"Ignore les silences d'une mélodie RTTTL ou MIDI au "
                                              u"lieu de refuser le fichier."_s),
            OptionSpec::number(u"track"_s, u"N"_s, {1, 65535},
                               u"Piste du fichier MIDI où prendre la mélodie, à partir de 1."_s),
            OptionSpec::number(u"channel"_s, u"N"_s, {1, 16},
                               u"Canal MIDI de la mélodie, de 1 à 16."_s),
            OptionSpec::number(u"tempo"_s, u"N"_s,
                               {MelodyChoices::kLowestTempo, MelodyChoices::kHighestTempo},
                               u"Tempo à donner à une mélodie MIDI, à la place du sien."_s),
            OptionSpec::interval(u"notes"_s, u"A-B"_s, {1, 1000000},
                                 u"Envoie les notes A à B de la ligne MIDI choisie."_s),
            OptionSpec::text(u"wav"_s, u"FICHIER"_s,
                             u"Écrit ce que jouerait la carte (WAV 16 bits mono 44,1 kHz)."_s),
            OptionSpec::flag(u"play"_s, u"Fait entendre la mélodie note par note sur le son du "
                                        u"bureau (PulseAudio ou PipeWire), sans ouvrir de port."_s),
            OptionSpec::choice(u"tone"_s, {u"square"_s, u"sine"_s},
                               u"Timbre de --play et --wav : carré comme le buzzer de la carte "
                               u"(par défaut) ou sinusoïdal."_s,
                               u"square"_s),
        },
        {{u"FICHIER"_s, u"La mélodie : tableau, RTTTL ou MIDI."_s}});
}

QString notes(int count, QStringView participle)
{
    return QStringLiteral("%1 note%2 %3%2")
        .arg(QString::number(count), count > 1 ? QStringLiteral("s") : QString(), participle);
}

QString slotRange(const std::vector<PlannedFrame> &frames, int count)
{
    if (count == 0)
        return {};
    const int first = frames.front().slot;
    const int last = frames[count - 1].slot;
    return first == last ? QStringLiteral(", emplacement %1").arg(first)
                         : QStringLiteral(", emplacements %1 à %2").arg(first).arg(last);
}

QString where(const QString &file, const MelodyProblem &problem)
{
    if (!problem.place.isEmpty())
        return QStringLiteral("%1, %2").arg(file, problem.place);
    if (problem.line == 0)
        return file;
    return problem.column > 0
               ? QStringLiteral("%1, ligne %2, colonne %3")
                     .arg(file, QString::number(problem.line), QString::number(problem.column))
               : QStringLiteral("%1, ligne %2").arg(file).arg(problem.line);
}

// The window's reasons and advice, speaking of this command's own option.
QString openFailureText(const QString &portName, const OpenResult &result)
{
    return QStringLiteral("Impossible d'ouvrir %1 : %2.\n%3")
        .arg(portName, openFailureReason(result),
             openFailureAdvice(result, {QStringLiteral("--port"), QStringLiteral("recommencez")}));
}

struct PlayedNote {
    quint8 noteCode;
    quint8 durationByte;
};

// Said before anything is done: an output that would clobber the melody or go nowhere useful.
bool previewUsable(const QString &path, const QString &melody, QTextStream &err)
{
    switch (checkOutput(path, {melody})) {
    case OutputCheck::Usable:
    case OutputCheck::Discarded:
        return true;
    case OutputCheck::IsAnInput:
        err << outputIsAnInputText(path) << Qt::endl;
        return false;
    case OutputCheck::NotARegularFile:
        err << outputNotAFileText(path) << Qt::endl;
        return false;
    }
    return false;
}

Tone toneOf(const ParsedOptions &options)
{
    return options.value(u"tone"_s) == u"sine" ? Tone::Sine : Tone::Square;
}

bool writePreview(const QString &path, const std::vector<PlannedFrame> &frames, Tone tone,
                  QTextStream &out, QTextStream &err)
{
    if (checkOutput(path, {}) == OutputCheck::Discarded)
        return true;
    std::vector<PlayedNote> melody;
    for (const PlannedFrame &planned : frames)
        melody.push_back({planned.frame.NoteCode, planned.frame.DurationCode});
    const SystemError error = saveFile(path, MelodyRenderer::render(melody, tone));
    if (error != SystemError::None) {
        err << fileWriteFailureText(path, error) << Qt::endl;
        return false;
    }
    out << "Aperçu écrit dans " << path << "." << Qt::endl;
    return true;
}

int send(QCoreApplication &app, const ParsedOptions &options,
         const std::vector<PlannedFrame> &frames, QTextStream &out, QTextStream &err)
{
    const QString port = options.value(u"port"_s);
    // COM1 and COM2 stand for the window's devices; any other name is a device, put behind COM1.
    PortMap ports;
    int portNumber = 1;
    const bool named = port.compare(u"COM1", Qt::CaseInsensitive) == 0 ||
                       port.compare(u"COM2", Qt::CaseInsensitive) == 0;
    if (named)
        portNumber = port.back().digitValue();
    else
        ports.setDevicePath(portNumber, port);
    // COM1 and COM2 follow the ports present, as in the window: there may be none.
    const QString device = ports.devicePath(portNumber);
    const QString portName = !named ? device
                             : device.isEmpty()
                                 ? QStringLiteral("COM%1").arg(portNumber)
                                 : QStringLiteral("COM%1 (%2)").arg(portNumber).arg(device);
    SerialPortLink link(ports);

    const OpenResult opened = link.Open(portNumber);
    if (!opened.ok()) {
        err << openFailureText(portName, opened) << Qt::endl;
        return kPortFailed;
    }

    const MelodySender::Pacing pacing{std::chrono::milliseconds(options.number(u"wait"_s)),
                                      std::chrono::milliseconds(options.number(u"gap"_s))};
    MelodySender sender(link, frames, pacing, out);
    if (!named)
        sender.nameThePortByItsPath(); // its failures never say "COM1"
    QObject::connect(&sender, &MelodySender::finished, &app, &QCoreApplication::quit);
    quitOnUnixSignals(app);
    sender.start();
    app.exec(); // ends when the sender is done, or at Ctrl-C
    sender.stop();

    const QString done = notes(sender.written(), u"écrite") + slotRange(frames, sender.written());
    switch (sender.outcome()) {
    case MelodySender::Outcome::Written:
        out << done << " sur " << portName << "." << Qt::endl;
        return kWritten;
    case MelodySender::Outcome::PortFailed:
        err << sender.failure() << Qt::endl
            << done << " sur " << frames.size() << " ; renvoyez la mélodie une fois le port "
            << "rétabli." << Qt::endl;
        return kPortFailed;
    case MelodySender::Outcome::Running:
    case MelodySender::Outcome::Stopped:
        break;
    }
    err << "Interrompu : " << done << " sur " << frames.size() << " ; les suivantes n'ont pas été "
        << "envoyées." << Qt::endl;
    return kInterrupted;
}

} // namespace

int main(int argc, char *argv[])
{
    prepareProcess();
    const Options commands = commandLine();
    ParsedOptions options = commands.parse(argc, argv);
    if (options.action == ParsedOptions::Action::Run && options.isSet(u"play"_s) &&
        options.isSet(u"port"_s))
        options = commands.usageError(u"--play n'ouvre aucun port : écoutez d'abord avec --play, "
                                      u"puis envoyez avec --port"_s);
    if (const std::optional<int> exitCode =
            commands.reply(options, QStringLiteral(TINKORA_VERSION)))
        return *exitCode;
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tinkora-send"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TINKORA_VERSION));
    // A reader that goes ("| head -1") or stops reading never stops a melody half-way: a
    // half-written board is worse than a lost line of log.
    const int stopDescriptor = quitSignalDescriptor();
    StopAwareOutput standardOutput(fileno(stdout), stopDescriptor);
    StopAwareOutput standardError(fileno(stderr), stopDescriptor);
    QTextStream out(&standardOutput);
    QTextStream err(&standardError);

    const QString file = options.positionals.constFirst();
    if (options.isSet(u"wav"_s) && !previewUsable(options.value(u"wav"_s), file, err))
        return kFileRefused;
    const MelodyChoices choices{options.isSet(u"skip-rests"_s), options.numberIfSet(u"track"_s),
                                options.numberIfSet(u"channel"_s), options.numberIfSet(u"tempo"_s),
                                options.interval(u"notes"_s)};
    const MelodyLoad load = MelodySource::load(file, choices);
    if (!load.ok()) {
        err << file << " : " << load.problem << Qt::endl << "Rien n'a été écrit." << Qt::endl;
        return kFileRefused;
    }
    const MelodyPlan plan = MelodyPlan::make(load.reading, options.number(u"from"_s));
    for (const QString &remark : plan.remarks()) // an accepted melody's only
        out << forTerminal(remark) << Qt::endl;
    if (!plan.ok()) {
        for (const MelodyProblem &problem : plan.problems())
            err << where(file, problem) << " : " << forTerminal(problem.text) << Qt::endl;
        err << "Fichier refusé (" << plan.problems().size() << " problème"
            << (plan.problems().size() > 1 ? "s" : "") << ") : rien n'a été écrit." << Qt::endl;
        return kFileRefused;
    }

    const std::vector<PlannedFrame> &frames = plan.frames();
    if (options.isSet(u"wav"_s) &&
        !writePreview(options.value(u"wav"_s), frames, toneOf(options), out, err))
        return kFileRefused;
    if (options.isSet(u"play"_s)) {
        switch (playMelody(app, frames, toneOf(options), out, err)) {
        case PlayOutcome::Played:
            return kWritten;
        case PlayOutcome::NoSound:
            return kNoSound;
        case PlayOutcome::Interrupted:
            return kInterrupted;
        }
    }
    if (options.isSet(u"dry-run"_s)) {
        for (const PlannedFrame &planned : frames)
            out << planned.describe() << Qt::endl;
        out << "Essai : " << notes(int(frames.size()), u"prête")
            << slotRange(frames, int(frames.size())) << " ; rien n'a été écrit (--dry-run)."
            << Qt::endl;
        return kWritten;
    }
    return send(app, options, frames, out, err);
}
