// SPDX-License-Identifier: GPL-3.0-or-later
#include "report.h"

#include "summary.h"

#include <cstdarg>
#include <cstdio>

namespace {

std::string format(const char *pattern, ...) __attribute__((format(printf, 1, 2)));

std::string format(const char *pattern, ...)
{
    char buffer[512];
    va_list arguments;
    va_start(arguments, pattern);
    std::vsnprintf(buffer, sizeof buffer, pattern, arguments);
    va_end(arguments);
    return buffer;
}

std::string cells(const Summary &summary)
{
    if (summary.empty())
        return format("%9s %9s %9s", "-", "-", "-");
    return format("%9.2f %9.2f %9.2f", summary.median(), summary.min(), summary.max());
}

std::string ratio(const Summary &program, const Summary &floor)
{
    if (program.empty() || floor.empty() || floor.median() <= 0)
        return "-";
    return format("%.2f", program.median() / floor.median());
}

std::string row(const char *name, const std::vector<double> &program,
                const std::vector<double> &floor)
{
    const Summary ofProgram(program);
    const Summary ofFloor(floor);
    return format("%-30s %s   %s %8s\n", name, cells(ofProgram).c_str(), cells(ofFloor).c_str(),
                  ratio(ofProgram, ofFloor).c_str());
}

Target ratioTarget(const char *rule, const std::vector<double> &program,
                   const std::vector<double> &floor, double limit)
{
    const Summary ofProgram(program);
    const Summary ofFloor(floor);
    Target target{rule, "-"};
    if (ofProgram.empty() || ofFloor.empty() || ofFloor.median() <= 0)
        return target;
    const double measured = ofProgram.median() / ofFloor.median();
    target.measured = format("%.2f x", measured);
    target.known = true;
    target.holds = measured <= limit;
    return target;
}

Target limitTarget(const char *rule, double measured, bool known, double limit, const char *unit)
{
    Target target{rule, "-"};
    if (!known)
        return target;
    target.measured = format("%.3f %s", measured, unit);
    target.known = true;
    target.holds = measured <= limit;
    return target;
}

} // namespace

Report::Report(const Figures &program, const Figures &floor)
    : m_program(program)
    , m_floor(floor)
{
}

std::vector<Target> Report::targets() const
{
    std::vector<Target> targets;
    targets.push_back(ratioTarget("exec to first frame, median <= 1.05 x floor", m_program.frameMs,
                                  m_floor.frameMs, kTimeRatio));
    targets.push_back(ratioTarget("CPU to first frame, median <= 1.05 x floor", m_program.cpuMs,
                                  m_floor.cpuMs, kTimeRatio));

    const Summary program(m_program.privateMiB);
    const Summary floor(m_floor.privateMiB);
    Target privateMemory{"private RSS, median <= floor + 2 MiB", "-"};
    if (!program.empty() && !floor.empty()) {
        const double over = program.median() - floor.median();
        privateMemory.measured = format("floor %+.2f MiB", over);
        privateMemory.known = true;
        privateMemory.holds = over <= kPrivateMarginMiB;
    }
    targets.push_back(privateMemory);

    const Summary clicks(m_program.clickMs);
    targets.push_back(limitTarget("click to first byte, median <= 1 ms", clicks.median(),
                                  !clicks.empty(), kClickMedianMs, "ms"));
    targets.push_back(limitTarget("click to first byte, 90th percentile <= 3 ms",
                                  clicks.percentile(90), !clicks.empty(), kClickPercentileMs,
                                  "ms"));
    return targets;
}

std::string Report::text() const
{
    std::string out;
    out += format("%-30s %29s   %29s %8s\n", "", "tinkora", "Qt floor", "tinkora/");
    out += format("%-30s %9s %9s %9s   %9s %9s %9s %8s\n", "figure", "median", "min", "max",
                  "median", "min", "max", "floor");
    out += row("exec to first frame (ms)", m_program.frameMs, m_floor.frameMs);
    out += row("CPU to first frame (ms)", m_program.cpuMs, m_floor.cpuMs);
    out += row("peak RSS (MiB)", m_program.peakMiB, m_floor.peakMiB);
    out += row("private RSS (MiB)", m_program.privateMiB, m_floor.privateMiB);
    out += row("click to first byte (ms)", m_program.clickMs, m_floor.clickMs);

    const Summary programClicks(m_program.clickMs);
    const Summary floorClicks(m_floor.clickMs);
    out += format("%-30s %9.3f %19s   %9.3f\n", "  90th percentile (ms)",
                  programClicks.percentile(90), "", floorClicks.percentile(90));
    out += format("runs: tinkora %zu (%d failed), floor %zu (%d failed); clicks: tinkora %zu, "
                  "floor %zu\n\n",
                  m_program.frameMs.size(), m_program.failedRuns, m_floor.frameMs.size(),
                  m_floor.failedRuns, m_program.clickMs.size(), m_floor.clickMs.size());

    out += format("%-46s %-18s %s\n", "target", "measured", "holds");
    for (const Target &target : targets()) {
        out += format("%-46s %-18s %s\n", target.rule.c_str(), target.measured.c_str(),
                      !target.known  ? "unknown"
                      : target.holds ? "yes"
                                     : "NO");
    }
    return out;
}
