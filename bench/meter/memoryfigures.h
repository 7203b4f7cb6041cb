// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string_view>

struct MemoryFigures {
    double peakMiB = 0;    // VmHWM: the most resident memory the process ever had
    double privateMiB = 0; // RssAnon: resident memory backed by no file, the process's own
};

// Reads the two figures from the text of /proc/PID/status; nothing if either is missing.
std::optional<MemoryFigures> parseProcStatus(std::string_view status);
