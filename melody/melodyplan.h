// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "melodynote.h"
#include "transferframe.h"

#include <set>
#include <tuple>
#include <vector>

// One frame ready to go, with the texts it came from.
struct PlannedFrame {
    int slot = 0;
    TransferFrame frame;
    QString note;
    QString value;

    // "Note 5 @8 : La3, Noire (50)"
    QString describe() const;
};

// The frames a melody gives from a first slot on, checked with the window's own rules, or
// every problem that stops it. With a problem, there are no frames at all.
class MelodyPlan {
public:
    static MelodyPlan make(const MelodyReading &reading, int firstSlot);

    bool ok() const { return m_problems.empty(); }
    const std::vector<PlannedFrame> &frames() const { return m_frames; }
    const std::vector<MelodyProblem> &problems() const { return m_problems; }
    // What the reader did to the melody (moved it by octaves, dropped rests): for an accepted
    // melody only, as a refused one was not changed at all.
    const QStringList &remarks() const { return m_remarks; }

private:
    void check(const MelodyNote &note, int slot);
    void problem(int line, int column, const QString &text, const QString &place = {});

    std::vector<PlannedFrame> m_frames;
    std::vector<MelodyProblem> m_problems;
    QStringList m_remarks;
    std::set<std::tuple<int, int, QString, QString>> m_seen;
};
