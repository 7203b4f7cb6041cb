// SPDX-License-Identifier: GPL-3.0-or-later
// soundbench: on the null sink of a private sound server (PULSE_SERVER; scripts/bench starts it
// with tests/soundbed.sh), how soon the stand-in sounds a frame's note once the frame's last
// byte is in, where the last note of a 31-note melody played by tinkora-send --play starts
// against its schedule, and the processor time tinkora-send takes while playing. Prints the
// figures and exits 0 whatever they are.

#include "monitor.h"
#include "summary.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <fcntl.h>
#include <sys/resource.h>
#include <termios.h>
#include <unistd.h>

namespace {

constexpr int kNotes = 31;
constexpr int kNoteMs = 250;                          // a "Croche=1/2 Noire" at 120
constexpr int kThreshold = 823;                       // a tenth of the tone's level
constexpr std::size_t kPerMs = Monitor::kRate / 1000; // for lengths that need not be exact

double ms(Monitor::Clock::duration duration)
{
    return std::chrono::duration<double, std::milli>(duration).count();
}

// Frames of a 100 ms La3 into the stand-in one at a time, each heard out before the next.
std::vector<double> frameToSound(Monitor &monitor, const QString &device, int runs)
{
    QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("com1"));
    QProcess board;
    board.start(device, {QStringLiteral("--play"), QStringLiteral("--link"), link});
    if (!board.waitForReadyRead(5000) || !QFile::exists(link))
        return {};
    const int line = ::open(QFile::encodeName(link).constData(), O_RDWR | O_NOCTTY);
    termios settings{};
    ::tcgetattr(line, &settings);
    ::cfmakeraw(&settings);
    ::cfsetspeed(&settings, B2400);
    ::tcsetattr(line, TCSANOW, &settings);

    std::vector<double> latencies;
    for (int run = 0; run < runs + 2; ++run) { // two warm-up frames
        const std::size_t from = monitor.size();
        const char frame[3] = {char(2 * (run % kNotes)), 22, 10};
        if (::write(line, frame, 3) != 3)
            break;
        const Monitor::Clock::time_point sent = Monitor::Clock::now();
        const auto heard = monitor.firstLoud(from, kThreshold, sent + std::chrono::seconds(2));
        if (!heard)
            break;
        if (run >= 2)
            latencies.push_back(ms(heard->second - sent));
        monitor.waitFor(heard->first + 200 * kPerMs);
    }
    ::close(line);
    board.terminate();
    board.waitForFinished(5000);
    return latencies;
}

std::vector<std::size_t> onsets(const std::vector<short> &samples)
{
    std::vector<std::size_t> found;
    std::size_t quiet = kPerMs;
    for (std::size_t i = 0; i < samples.size(); ++i) {
        if (std::abs(samples[i]) < kThreshold) {
            ++quiet;
            continue;
        }
        if (quiet * 2 >= kPerMs)
            found.push_back(i);
        quiet = 0;
    }
    return found;
}

double cpuSeconds()
{
    rusage usage{};
    ::getrusage(RUSAGE_CHILDREN, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

struct MelodyFigures {
    int onsets = 0;
    double lastOnsetErrorMs = 0;
    double cpuPercent = 0;
};

MelodyFigures playMelody(Monitor &monitor, const QString &send)
{
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("melodie.csv")));
    file.open(QIODevice::WriteOnly);
    const char *names[] = {"Do3", "Re3", "Mi3", "Fa3", "Sol3", "La3", "Si3", "Do4"};
    for (int i = 0; i < kNotes; ++i)
        file.write(QByteArray("120;") + names[i % 8] + ";Croche=1/2 Noire\n");
    file.close();

    const std::size_t from = monitor.size();
    const double cpuBefore = cpuSeconds();
    QElapsedTimer wall;
    wall.start();
    QProcess player;
    player.start(send, {QStringLiteral("--play"), file.fileName()});
    player.waitForFinished(60000);
    const double seconds = double(wall.nsecsElapsed()) / 1e9;
    MelodyFigures figures;
    figures.cpuPercent = 100 * (cpuSeconds() - cpuBefore) / seconds;
    monitor.waitFor(monitor.size() + 200 * kPerMs);
    const std::vector<std::size_t> found = onsets(monitor.samples(from));
    figures.onsets = int(found.size());
    if (found.size() == kNotes)
        figures.lastOnsetErrorMs =
            double(found.back() - found.front()) * 1000 / Monitor::kRate - (kNotes - 1) * kNoteMs;
    return figures;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("usage: soundbench --send PATH --device PATH"));
    parser.addHelpOption();
    const QCommandLineOption send(QStringLiteral("send"), QStringLiteral("tinkora-send"),
                                  QStringLiteral("PATH"));
    const QCommandLineOption device(QStringLiteral("device"), QStringLiteral("tinkora-device"),
                                    QStringLiteral("PATH"));
    const QCommandLineOption runs(QStringLiteral("runs"), QStringLiteral("Frames timed."),
                                  QStringLiteral("N"), QStringLiteral("20"));
    parser.addOptions({send, device, runs});
    parser.process(app);
    if (!parser.isSet(send) || !parser.isSet(device)) {
        std::fprintf(stderr, "usage: soundbench --send PATH --device PATH [--runs N]\n");
        return 2;
    }
    Monitor monitor;
    if (!monitor.isValid()) {
        std::printf("soundbench: no sound server (PULSE_SERVER); no sound figures\n");
        return 0;
    }

    const Summary latency(
        frameToSound(monitor, parser.value(device), std::max(1, parser.value(runs).toInt())));
    std::printf("Sound on a null sink                         median       p90       max  (ms)\n");
    std::printf("%-40s %9.2f %9.2f %9.2f   (%zu frames)\n", "frame's last byte to its note heard",
                latency.median(), latency.percentile(90), latency.max(), latency.count());
    const MelodyFigures melody = playMelody(monitor, parser.value(send));
    if (melody.onsets == kNotes)
        std::printf("tinkora-send --play, %d notes: last onset %+.2f ms off its time\n", kNotes,
                    melody.lastOnsetErrorMs);
    else
        std::printf("tinkora-send --play, %d notes: %d onsets heard, the sound had a gap\n", kNotes,
                    melody.onsets);
    std::printf("tinkora-send --play, start to exit: processor %.2f %% of one core\n",
                melody.cpuPercent);
    const bool holds = !latency.empty() && latency.median() <= 10 && latency.percentile(90) <= 20 &&
                       melody.onsets == kNotes && std::abs(melody.lastOnsetErrorMs) <= 5 &&
                       melody.cpuPercent <= 2;
    std::printf("targets: median <= 10 ms, p90 <= 20 ms, last onset within 5 ms, processor <= 2 "
                "%%: %s\n",
                holds ? "hold" : "MISSED");
    return 0;
}
