// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "seriallink.h"

#include <deque>

// Which of the writes handed to a port have wholly left it. Bytes leave in the order they were
// handed over, so a write has left once every byte up to its last one has: a write cut in the
// middle has not.
class WriteLedger {
public:
    void handOver(qint64 size, quint64 sequence);
    // stillQueued: the bytes handed over that have not left yet, wherever they wait.
    UnsentWrites unsent(qint64 stillQueued);

private:
    void forgetLeft(qint64 stillQueued);

    struct Write {
        qint64 end; // offset just past the write's last byte in everything handed over
        quint64 sequence;
    };
    std::deque<Write> m_writes; // those not known to have left, oldest first
    qint64 m_handedOver = 0;
};
