// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "clock.h"
#include "memoryfigures.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <sys/types.h>

// One run of a program under measurement. The moment of exec is taken inside the child, just
// before execve, so start-up figures include loading and linking the program.
class ChildProcess {
public:
    // Starts command[0] (a path) with the given arguments and environment additions; its
    // standard output and error go to outputFd. Nothing and a reason when it cannot start.
    static std::unique_ptr<ChildProcess> start(const std::vector<std::string> &command,
                                               const std::vector<std::string> &extraEnvironment,
                                               int outputFd, std::string &error);
    ~ChildProcess();
    ChildProcess(const ChildProcess &) = delete;
    ChildProcess &operator=(const ChildProcess &) = delete;

    pid_t pid() const { return m_pid; }
    Clock::time_point execAt() const { return m_execAt; }

    // CPU time of all its threads so far, dead threads included.
    std::optional<double> cpuMs() const;
    std::optional<MemoryFigures> memory() const;
    bool hasExited();
    // Ends it (SIGTERM, then SIGKILL after a second) and reaps it.
    void stop();

private:
    explicit ChildProcess(pid_t pid);

    pid_t m_pid = -1;
    bool m_reaped = false;
    Clock::time_point m_execAt;
};
