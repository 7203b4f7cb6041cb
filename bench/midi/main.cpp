// SPDX-License-Identifier: GPL-3.0-or-later
// midibench: how long a MIDI file of 1 MiB takes to be read, its line chosen and planned, as
// tinkora-send and the window do it (melody/), with a two-line song that fills the whole size:
// a melody of single notes on track 2 and chords of three on track 3. Prints the figures and
// exits 0 whatever they are.

#include "melodyplan.h"
#include "melodysource.h"
#include "summary.h"

#include <QElapsedTimer>

#include <cstdio>

namespace {

constexpr qsizetype kSize = 1024 * 1024;
constexpr double kTargetMs = 50;
constexpr int kRuns = 20;

QByteArray chunk(const char *type, const QByteArray &body)
{
    const quint32 n = quint32(body.size());
    return QByteArray(type) + char(n >> 24) + char(n >> 16) + char(n >> 8) + char(n) + body;
}

// Quarter notes at 480 ticks, under running status, the note-off a note-on of velocity 0.
QByteArray track(qsizetype size, int voices)
{
    QByteArray events = QByteArray::fromHex("00FF030453696E67 00903C40");
    for (int i = 0; events.size() < size; ++i) {
        const char key = char(60 + (i * 5) % 19);
        for (int v = 0; v < voices; ++v)
            events += QByteArray(1, 0) + char(key - 4 * v) + char(64);
        events += QByteArray::fromHex("8360") + key + char(0);
        for (int v = 1; v < voices; ++v)
            events += QByteArray(1, 0) + char(key - 4 * v) + char(0);
    }
    return chunk("MTrk", events + QByteArray::fromHex("00FF2F00"));
}

QByteArray song()
{
    const QByteArray header = chunk("MThd", QByteArray::fromHex("0001000301E0"));
    const QByteArray conductor =
        chunk("MTrk", QByteArray::fromHex("00FF510307A120 00FF580404021808 00FF2F00"));
    const qsizetype left = kSize - header.size() - conductor.size() - 2 * 8 - 64;
    return header + conductor + track(left / 3, 1) + track(left * 2 / 3, 3);
}

struct Run {
    std::vector<double> ms;
    bool ok = true;
};

Run measure(const QByteArray &file, const MelodyChoices &choices, bool planned)
{
    Run run;
    for (int i = 0; i < kRuns + 2; ++i) { // two warm-up runs
        QElapsedTimer clock;
        clock.start();
        const MelodyLoad load =
            MelodySource::fromBytes(file, QStringLiteral("chanson.mid"), choices);
        const MelodyPlan plan = MelodyPlan::make(load.reading, 1);
        const double ms = double(clock.nsecsElapsed()) / 1e6;
        run.ok = run.ok && load.ok() && plan.ok() == planned;
        if (i >= 2)
            run.ms.push_back(ms);
    }
    return run;
}

void report(const char *name, const Run &run)
{
    const Summary summary(run.ms);
    std::printf("%-40s %9.2f %9.2f %9.2f   (%zu runs%s)\n", name, summary.median(), summary.min(),
                summary.max(), summary.count(), run.ok ? "" : ", WRONG RESULT");
}

} // namespace

int main()
{
    const QByteArray file = song();
    MelodyChoices chosen;
    chosen.track = 2;
    chosen.notes = std::pair(1, 31);
    const Run line = measure(file, chosen, true);
    const Run listed = measure(file, {}, false);

    std::printf("MIDI file of %lld bytes, read and planned            median       min       max  "
                "(ms)\n",
                qlonglong(file.size()));
    report("--track 2 --notes 1-31: 31 frames", line);
    report("no choice: the 2 lines listed", listed);
    const Summary summary(line.ms);
    std::printf("target: read, line chosen and planned under %.0f ms: %s\n", kTargetMs,
                line.ok && summary.max() < kTargetMs ? "holds" : "MISSED");
    return 0;
}
