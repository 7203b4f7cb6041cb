// SPDX-License-Identifier: GPL-3.0-or-later
#include "benchoptions.h"

#include <charconv>
#include <string_view>

namespace {

constexpr std::string_view kUsage =
    "usage: benchmeter --program TINKORA --floor QTFLOOR [--runs N] [--warmup N] [--clicks N]\n"
    "                  [--log FILE]\n"
    "Starts both programs in turn on the X display $DISPLAY and prints what they cost.\n"
    "  --runs N     timed runs of each program (default 20)\n"
    "  --warmup N   untimed rounds before them (default 2)\n"
    "  --clicks N   timed clicks on \"Transfert\" in each timed run, 0 to 30 (default 8)\n"
    "  --log FILE   where the programs' own output goes (default /dev/null)\n";

bool parseCount(std::string_view text, int lowest, int highest, int &value)
{
    int parsed = 0;
    const auto [end, failure] = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (failure != std::errc() || end != text.data() + text.size() || parsed < lowest ||
        parsed > highest)
        return false;
    value = parsed;
    return true;
}

} // namespace

std::optional<BenchOptions> parseBenchOptions(int argc, const char *const argv[],
                                              std::string &error, bool &wantsHelp)
{
    BenchOptions options;
    options.log = "/dev/null";
    wantsHelp = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view name = argv[i];
        if (name == "--help" || name == "-h") {
            wantsHelp = true;
            error = kUsage;
            return std::nullopt;
        }
        if (i + 1 >= argc) {
            error = "missing value after " + std::string(name) + "\n" + std::string(kUsage);
            return std::nullopt;
        }
        const std::string_view value = argv[++i];
        bool ok = true;
        if (name == "--program")
            options.program = value;
        else if (name == "--floor")
            options.floor = value;
        else if (name == "--log")
            options.log = value;
        else if (name == "--runs")
            ok = parseCount(value, 1, 10000, options.runs);
        else if (name == "--warmup")
            ok = parseCount(value, 0, 10000, options.warmup);
        else if (name == "--clicks")
            ok = parseCount(value, 0, kMaxClicksPerRun, options.clicks);
        else {
            error = "unknown option " + std::string(name) + "\n" + std::string(kUsage);
            return std::nullopt;
        }
        if (!ok) {
            error = "bad value for " + std::string(name) + ": " + std::string(value) + "\n" +
                    std::string(kUsage);
            return std::nullopt;
        }
    }
    if (options.program.empty() || options.floor.empty()) {
        error = "--program and --floor are both needed\n" + std::string(kUsage);
        return std::nullopt;
    }
    return options;
}
