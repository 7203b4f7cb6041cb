// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "clock.h"

#include <optional>
#include <string>

// A pseudo-terminal standing in for COM1: the program writes to the slave, the meter waits for
// bytes on the master.
class PtyPair {
public:
    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair &) = delete;
    PtyPair &operator=(const PtyPair &) = delete;

    bool isValid() const { return m_master >= 0; }
    const std::string &slavePath() const { return m_slavePath; }

    // When the first byte became readable, or nothing by the deadline.
    std::optional<Clock::time_point> waitReadable(Clock::time_point deadline) const;
    // Reads until count bytes have arrived or the deadline has passed.
    std::string read(std::size_t count, Clock::time_point deadline) const;
    void drain() const;

private:
    int m_master = -1;
    int m_slave = -1; // held open so the line never hangs up between the program's uses
    std::string m_slavePath;
};
