// SPDX-License-Identifier: GPL-3.0-or-later
#include "sentframes.h"

#include "transferstate.h"

#include <algorithm>

int SentFrames::slotIn(const Run &run, quint64 sequence)
{
    const quint64 step = std::min<quint64>(sequence - run.firstSequence, TransferState::MaxNotes);
    return std::min<int>(run.firstSlot + int(step), TransferState::MaxNotes);
}

void SentFrames::record(quint64 sequence, int slot)
{
    if (!m_runs.empty() && sequence > m_runs.back().firstSequence &&
        slotIn(m_runs.back(), sequence) == slot)
        return;
    if (m_runs.size() == kKeptRuns)
        m_runs.erase(m_runs.begin());
    m_runs.push_back({sequence, slot});
}

std::optional<int> SentFrames::slotOf(quint64 sequence) const
{
    for (auto run = m_runs.rbegin(); run != m_runs.rend(); ++run) {
        if (run->firstSequence <= sequence)
            return slotIn(*run, sequence);
    }
    return std::nullopt;
}
