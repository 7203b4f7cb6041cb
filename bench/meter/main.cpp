// SPDX-License-Identifier: GPL-3.0-or-later
// benchmeter: starts tinkora and the Qt floor in turn on an X display and prints what each
// costs to show its window and to put a note on the line (see scripts/bench).
#include "benchoptions.h"
#include "programrun.h"
#include "report.h"

#include <cstdio>

#include <fcntl.h>
#include <unistd.h>

namespace {

void record(Figures &figures, const RunFigures &run)
{
    figures.frameMs.push_back(run.frameMs);
    figures.cpuMs.push_back(run.cpuMs);
    figures.peakMiB.push_back(run.peakMiB);
    figures.privateMiB.push_back(run.privateMiB);
    figures.clickMs.insert(figures.clickMs.end(), run.clickMs.begin(), run.clickMs.end());
}

} // namespace

int main(int argc, char *argv[])
{
    std::string error;
    bool wantsHelp = false;
    const std::optional<BenchOptions> options = parseBenchOptions(argc, argv, error, wantsHelp);
    if (!options) {
        std::fputs(error.c_str(), wantsHelp ? stdout : stderr);
        return wantsHelp ? 0 : 2;
    }
    const std::unique_ptr<XSession> screen = XSession::connect(error);
    if (!screen) {
        std::fprintf(stderr, "benchmeter: %s\n", error.c_str());
        return 1;
    }
    const int log = ::open(options->log.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (log < 0) {
        std::fprintf(stderr, "benchmeter: cannot write %s\n", options->log.c_str());
        return 1;
    }

    struct Subject {
        const char *name;
        std::string path;
        Figures figures;
    };
    Subject subjects[] = {{"tinkora", options->program, {}}, {"floor", options->floor, {}}};
    ProgramRun runner(*screen, log);
    const int rounds = options->warmup + options->runs;
    for (int round = 0; round < rounds; ++round) {
        const bool timed = round >= options->warmup;
        std::fprintf(stderr, "\rround %d of %d%s ", round + 1, rounds, timed ? "" : " (warm-up)");
        // Alternate who goes first, so neither always runs on the other's warm caches.
        for (int turn = 0; turn < 2; ++turn) {
            Subject &subject = subjects[(round + turn) % 2];
            const std::optional<RunFigures> run =
                runner.run(subject.path, timed ? options->clicks : 0, error);
            if (!run) {
                std::fprintf(stderr, "\n%s, round %d: %s\n", subject.name, round + 1,
                             error.c_str());
                subject.figures.failedRuns += timed ? 1 : 0;
            } else if (timed) {
                record(subject.figures, *run);
            }
        }
    }
    std::fprintf(stderr, "\n\n");
    ::close(log);

    std::printf("%s", Report(subjects[0].figures, subjects[1].figures).text().c_str());
    const bool measured =
        !subjects[0].figures.frameMs.empty() && !subjects[1].figures.frameMs.empty();
    return measured ? 0 : 1;
}
