// SPDX-License-Identifier: GPL-3.0-or-later
// sendbench: how long tinkora-send takes to load a full 31-note melody into the board stand-in,
// from starting the program to its exit, with no gap; and, with the default gap, how much time
// it adds to the gaps themselves. Prints the figures and exits 0 whatever they are.

#include "summary.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <optional>

namespace {

constexpr int kNotes = 31;
constexpr int kDefaultGapMs = 50;
constexpr double kTargetMs = 100;

QString writeMelody(const QTemporaryDir &dir)
{
    const char *names[] = {"Do3", "Re3", "Mi3", "Fa3", "Sol3", "La3", "Si3", "Do4"};
    QFile file(dir.filePath(QStringLiteral("melodie.csv")));
    if (!file.open(QIODevice::WriteOnly))
        return {};
    for (int i = 0; i < kNotes; ++i)
        file.write(QByteArray("120;") + names[i % 8] + ";Croche=1/2 Noire\n");
    return file.fileName();
}

// One load into a fresh stand-in: milliseconds from start to exit, or nothing when the stand-in
// did not receive the whole melody.
std::optional<double> loadOnce(const QString &send, const QString &device, const QString &melody,
                               const QTemporaryDir &dir, int gapMs)
{
    const QString link = dir.filePath(QStringLiteral("com1"));
    QProcess board;
    board.start(device, {QStringLiteral("--link"), link});
    // The stand-in names its device once the link is there.
    if (!board.waitForReadyRead(5000) || !QFile::exists(link))
        return std::nullopt;

    QProcess sender;
    QElapsedTimer clock;
    clock.start();
    sender.start(send, {melody, QStringLiteral("--port"), link, QStringLiteral("--gap"),
                        QString::number(gapMs)});
    const bool done = sender.waitForFinished(60000) && sender.exitCode() == 0;
    const double elapsedMs = double(clock.nsecsElapsed()) / 1e6;

    // The stand-in may keep serving after the port closes: once it has shown every frame it
    // received, a polite kill ends it.
    QByteArray shown;
    while ((shown += board.readAllStandardOutput()).count("\nNote ") < kNotes &&
           board.waitForReadyRead(2000)) {
    }
    if (board.state() != QProcess::NotRunning) {
        board.terminate();
        if (!board.waitForFinished(10000))
            board.kill();
    }
    const int frames = int((shown + board.readAllStandardOutput()).count("\nNote "));
    if (!done || frames != kNotes)
        return std::nullopt;
    return elapsedMs;
}

void report(const char *name, const std::vector<double> &values, int failed)
{
    const Summary summary(values);
    std::printf("%-34s %9.2f %9.2f %9.2f   (%zu runs, %d failed)\n", name, summary.median(),
                summary.min(), summary.max(), summary.count(), failed);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("usage: sendbench --send PATH --device PATH"));
    parser.addHelpOption();
    const QCommandLineOption send(QStringLiteral("send"), QStringLiteral("tinkora-send"),
                                  QStringLiteral("PATH"));
    const QCommandLineOption device(QStringLiteral("device"), QStringLiteral("tinkora-device"),
                                    QStringLiteral("PATH"));
    const QCommandLineOption runs(QStringLiteral("runs"), QStringLiteral("Runs with no gap."),
                                  QStringLiteral("N"), QStringLiteral("20"));
    parser.addOptions({send, device, runs});
    parser.process(app);
    if (!parser.isSet(send) || !parser.isSet(device)) {
        std::fprintf(stderr, "usage: sendbench --send PATH --device PATH [--runs N]\n");
        return 2;
    }

    QTemporaryDir dir;
    const QString melody = writeMelody(dir);
    std::vector<double> noGap;
    std::vector<double> addedToGaps;
    int noGapFailed = 0;
    int gapFailed = 0;
    const int count = std::max(1, parser.value(runs).toInt());
    for (int run = 0; run < count + 2; ++run) { // two warm-up runs
        const std::optional<double> ms =
            loadOnce(parser.value(send), parser.value(device), melody, dir, 0);
        if (run < 2)
            continue;
        ms ? noGap.push_back(*ms) : void(++noGapFailed);
    }
    // A pseudo-terminal takes a frame at once, so all the time on the line is the gaps'.
    for (int run = 0; run < 3; ++run) {
        const std::optional<double> ms =
            loadOnce(parser.value(send), parser.value(device), melody, dir, kDefaultGapMs);
        ms ? addedToGaps.push_back(*ms - (kNotes - 1) * kDefaultGapMs) : void(++gapFailed);
    }

    std::printf("tinkora-send, %d notes into tinkora-device   median       min       max  (ms)\n",
                kNotes);
    report("start to exit, --gap 0", noGap, noGapFailed);
    report("beyond the 30 gaps, --gap 50", addedToGaps, gapFailed);
    const Summary summary(noGap);
    std::printf("target: start to exit well under %.0f ms: %s\n", kTargetMs,
                !summary.empty() && summary.max() < kTargetMs && noGapFailed == 0 ? "holds"
                                                                                  : "MISSED");
    return 0;
}
