// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

// Every figure measured for one program, one value per run (per click for clickMs).
struct Figures {
    std::vector<double> frameMs;    // exec to the first complete frame of the main window
    std::vector<double> cpuMs;      // CPU time of all its threads at that frame
    std::vector<double> peakMiB;    // peak resident set once the first frame has settled
    std::vector<double> privateMiB; // anonymous resident memory then
    std::vector<double> clickMs;    // release of a click on "Transfert" to the first byte read
    int failedRuns = 0;
};
