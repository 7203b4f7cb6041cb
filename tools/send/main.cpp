// SPDX-License-Identifier: GPL-3.0-or-later
#include "melodyfile.h"
#include "melodyplan.h"
#include "melodyrenderer.h"
#include "melodysender.h"
#include "portmap.h"
#include "portmessages.h"
#include "processstart.h"
#include "quitsignals.h"
#include "rtttlreader.h"
#include "sendoptions.h"
#include "serialportlink.h"
#include "tablereader.h"

#include <QCoreApplication>
#include <QFile>
#include <QTextStream>

namespace {

enum ExitCode { kWritten = 0, kFileRefused = 1, kUsage = 2, kPortFailed = 3, kInterrupted = 4 };

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

bool writePreview(const QString &path, const std::vector<PlannedFrame> &frames, QTextStream &out,
                  QTextStream &err)
{
    std::vector<PlayedNote> melody;
    for (const PlannedFrame &planned : frames)
        melody.push_back({planned.frame.NoteCode, planned.frame.DurationCode});
    const QByteArray wav = MelodyRenderer::render(melody);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(wav) != wav.size()) {
        err << "Impossible d'écrire " << path << " : " << file.errorString() << Qt::endl;
        return false;
    }
    out << "Aperçu écrit dans " << path << "." << Qt::endl;
    return true;
}

int send(QCoreApplication &app, const SendOptions &options, const std::vector<PlannedFrame> &frames,
         QTextStream &out, QTextStream &err)
{
    // COM1 and COM2 stand for the window's devices; any other name is a device, put behind COM1.
    PortMap ports;
    int portNumber = 1;
    const bool named = options.port.compare(u"COM1", Qt::CaseInsensitive) == 0 ||
                       options.port.compare(u"COM2", Qt::CaseInsensitive) == 0;
    if (named)
        portNumber = options.port.back().digitValue();
    else
        ports.setDevicePath(portNumber, options.port);
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

    MelodySender sender(link, frames, {options.wait, options.gap}, out);
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
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tinkora-send"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TINKORA_VERSION));
    QTextStream out(stdout);
    QTextStream err(stderr);

    const SendOptions options = SendOptions::parse(QCoreApplication::arguments());
    switch (options.action) {
    case SendOptions::Action::Help:
        out << options.helpText;
        return kWritten;
    case SendOptions::Action::Version:
        out << "tinkora-send " << TINKORA_VERSION << Qt::endl;
        return kWritten;
    case SendOptions::Action::Usage:
        err << "tinkora-send : " << options.usageError << " (voir tinkora-send --help)."
            << Qt::endl;
        return kUsage;
    case SendOptions::Action::Send:
        break;
    }

    const MelodyFile::Text text = MelodyFile::read(options.file);
    if (!text.ok()) {
        err << options.file << " : " << text.problem << Qt::endl
            << "Rien n'a été écrit." << Qt::endl;
        return kFileRefused;
    }
    const MelodyReading reading =
        MelodyFile::formatOf(options.file, text.text) == MelodyFormat::Rtttl
            ? RtttlReader::read(text.text, options.skipRests)
            : TableReader::read(text.text);
    const MelodyPlan plan = MelodyPlan::make(reading, options.firstSlot);
    for (const QString &remark : plan.remarks()) // an accepted melody's only
        out << remark << Qt::endl;
    if (!plan.ok()) {
        for (const MelodyProblem &problem : plan.problems())
            err << where(options.file, problem) << " : " << problem.text << Qt::endl;
        err << "Fichier refusé (" << plan.problems().size() << " problème"
            << (plan.problems().size() > 1 ? "s" : "") << ") : rien n'a été écrit." << Qt::endl;
        return kFileRefused;
    }

    const std::vector<PlannedFrame> &frames = plan.frames();
    if (!options.wav.isEmpty() && !writePreview(options.wav, frames, out, err))
        return kFileRefused;
    if (options.dryRun) {
        for (const PlannedFrame &planned : frames)
            out << planned.describe() << Qt::endl;
        out << "Essai : " << notes(int(frames.size()), u"prête")
            << slotRange(frames, int(frames.size())) << " ; rien n'a été écrit (--dry-run)."
            << Qt::endl;
        return kWritten;
    }
    return send(app, options, frames, out, err);
}
