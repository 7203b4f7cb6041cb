// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

#include <optional>
#include <vector>

// Which slot each frame handed to the serial link was for, by the number the link gave the
// write, so that frames the link later reports as lost can be sent again to their slots. From a
// start or a step back, frames go to consecutive slots and then stay on the last one, so one
// entry per run of them is enough.
class SentFrames {
public:
    void record(quint64 sequence, int slot);
    // The slot of that write; none when it is older than what is kept.
    std::optional<int> slotOf(quint64 sequence) const;

private:
    struct Run {
        quint64 firstSequence;
        int firstSlot;
    };
    static int slotIn(const Run &run, quint64 sequence);

    static constexpr std::size_t kKeptRuns = 16; // a new run needs a lost port: they are rare
    std::vector<Run> m_runs;
};
