// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The invariants every melody fuzz target holds a plan to: a refused file gives no frame at all,
// an accepted one only whole frames, to consecutive slots, of the codes the tables give for the
// file's own texts.

#include "durationtable.h"
#include "melodyplan.h"
#include "notetable.h"
#include "transferstate.h"

#include <cstdio>
#include <cstdlib>

inline void check(bool holds, const char *rule)
{
    if (!holds) {
        std::fprintf(stderr, "invariant broken: %s\n", rule);
        std::abort();
    }
}

inline void checkFrames(const MelodyReading &reading, const MelodyPlan &plan, int firstSlot)
{
    if (!plan.ok()) {
        check(plan.frames().empty(), "a refused file gives no frame");
        return;
    }
    const std::vector<PlannedFrame> &frames = plan.frames();
    check(!frames.empty(), "an accepted file has notes");
    check(frames.size() == reading.notes.size(), "every note of an accepted file is sent");
    check(int(frames.size()) <= TransferState::MaxNotes - firstSlot + 1, "no slot beyond 31");

    QByteArray wire;
    for (const PlannedFrame &planned : frames)
        wire += planned.frame.toBytes();
    check(wire.size() == 3 * qsizetype(frames.size()), "only whole frames");
    for (std::size_t i = 0; i < frames.size(); ++i) {
        const MelodyNote &note = reading.notes[i];
        // Worked out here rather than through TransferState, which is what is checked.
        check(quint8(wire[3 * i]) == 2 * (firstSlot + int(i) - 1), "consecutive slots");
        check(NoteCodeFor(note.note.text) == quint8(wire[3 * i + 1]), "the table's note code");
        const std::optional<qint32> dividend = DurationDividendFor(note.value.text);
        check(dividend.has_value(), "a listed note value");
        const DurationResult duration = ComputeDurationCode(*dividend, note.tempo.text);
        check(duration.ok() && quint8(wire[3 * i + 2]) == duration.value,
              "the duration rule's byte");
    }
}
