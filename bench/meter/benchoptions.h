// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>

struct BenchOptions {
    std::string program; // tinkora
    std::string floor;   // the Qt floor
    std::string log;     // where both programs' own output goes
    int runs = 20;       // timed runs of each program
    int warmup = 2;      // untimed rounds first, to fill the caches
    int clicks = 8;      // timed clicks in each timed run
};

// Reads the command line; on a mistake returns nothing and says why in error. "--help" comes
// back as an error holding the usage text and wantsHelp set.
std::optional<BenchOptions> parseBenchOptions(int argc, const char *const argv[],
                                              std::string &error, bool &wantsHelp);

// A run sends at most this many frames: the 31st transfer opens a modal warning.
inline constexpr int kMaxClicksPerRun = 30;
