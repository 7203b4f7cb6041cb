// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "coverage.h"
#include "xsession.h"

#include <optional>
#include <string>
#include <vector>

class ChildProcess;
class PtyPair;

struct RunFigures {
    double frameMs = 0;
    double cpuMs = 0;
    double peakMiB = 0;
    double privateMiB = 0;
    std::vector<double> clickMs;
};

// One run of one program: start it with a pseudo-terminal as COM1, time its first complete
// frame, read its memory once the window is idle, then time clicks on "Transfert".
class ProgramRun {
public:
    ProgramRun(XSession &screen, int outputFd);

    // Nothing and a reason when the run failed.
    std::optional<RunFigures> run(const std::string &program, int clicks, std::string &error);

private:
    // The window's place on the screen once its first frame is complete.
    std::optional<Rect> waitForFirstFrame(ChildProcess &child, RunFigures &figures,
                                          std::string &error);
    bool readMemory(const ChildProcess &child, RunFigures &figures, std::string &error);
    bool fillInTheChoices(const Rect &window, std::string &error);
    bool timeClicks(const PtyPair &line, int clicks, RunFigures &figures, std::string &error);

    XSession &m_screen;
    int m_outputFd;
};
