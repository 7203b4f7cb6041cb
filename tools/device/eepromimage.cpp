// SPDX-License-Identifier: GPL-3.0-or-later
#include "eepromimage.h"

void EepromImage::store(const DeviceFrame &frame)
{
    // A board writes what it is told where it can; bytes beyond the chip are lost.
    if (frame.address < kSize) {
        m_bytes[frame.address] = char(frame.noteCode);
        m_written[frame.address] = true;
    }
    if (frame.address + 1 < kSize)
        m_bytes[frame.address + 1] = char(frame.durationByte);
}

QByteArray EepromImage::bytes() const
{
    return m_bytes;
}

std::vector<EepromImage::Slot> EepromImage::melody() const
{
    std::vector<Slot> result;
    for (int address = 0; address <= DeviceFrame::kLastAddress; address += 2) {
        if (m_written[address])
            result.push_back({address / 2 + 1, quint8(address), quint8(m_bytes[address]),
                              quint8(m_bytes[address + 1])});
    }
    return result;
}
