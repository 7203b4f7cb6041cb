// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "deviceframe.h"

#include <QByteArray>
#include <QByteArrayView>

#include <vector>

// Cuts the byte stream into frames of three; the line has no framing, so a lost byte would
// shift every later frame, as it would on the board.
class FrameDecoder {
public:
    std::vector<DeviceFrame> feed(QByteArrayView bytes);
    int pendingBytes() const { return int(m_pending.size()); }

private:
    QByteArray m_pending;
};
