// SPDX-License-Identifier: GPL-3.0-or-later
#include "writeledger.h"

void WriteLedger::handOver(qint64 size, quint64 sequence)
{
    m_handedOver += size;
    m_writes.push_back({m_handedOver, sequence});
}

UnsentWrites WriteLedger::unsent(qint64 stillQueued)
{
    forgetLeft(stillQueued);
    if (m_writes.empty())
        return {};
    return {m_writes.front().sequence, m_writes.back().sequence, int(m_writes.size())};
}

void WriteLedger::forgetLeft(qint64 stillQueued)
{
    const qint64 left = m_handedOver - stillQueued;
    while (!m_writes.empty() && m_writes.front().end <= left)
        m_writes.pop_front();
}
