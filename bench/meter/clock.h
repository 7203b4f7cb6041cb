// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>

// CLOCK_MONOTONIC on Linux: the same clock in the meter and in a child before it execs.
using Clock = std::chrono::steady_clock;

inline double millisecondsBetween(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double, std::milli>(to - from).count();
}
