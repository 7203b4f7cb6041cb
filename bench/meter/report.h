// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "figures.h"

#include <string>
#include <vector>

struct Target {
    std::string rule;     // what must hold, in words
    std::string measured; // what was measured against it
    bool known = false;   // false when a figure is missing, e.g. every run failed
    bool holds = false;
};

// The table of figures, tinkora against the Qt floor, and the targets tinkora is held to.
class Report {
public:
    static constexpr double kTimeRatio = 1.05;      // start-up time and CPU, ratio of medians
    static constexpr double kPrivateMarginMiB = 2;  // private memory over the floor's
    static constexpr double kClickMedianMs = 1;     // click to first byte, median
    static constexpr double kClickPercentileMs = 3; // and 90th percentile

    Report(const Figures &program, const Figures &floor);

    std::vector<Target> targets() const;
    std::string text() const;

private:
    Figures m_program;
    Figures m_floor;
};
