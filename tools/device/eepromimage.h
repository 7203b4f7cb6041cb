// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "deviceframe.h"

#include <QByteArray>

#include <array>
#include <vector>

// The board's 64-byte EEPROM as the frames leave it: the note code at the frame's address, the
// duration byte right after it.
class EepromImage {
public:
    static constexpr int kSize = 64;

    struct Slot {
        int slot;
        quint8 address;
        quint8 noteCode;
        quint8 durationByte;
    };

    void store(const DeviceFrame &frame);
    QByteArray bytes() const;
    // The slots written so far, in slot order: what the board would play.
    std::vector<Slot> melody() const;

private:
    QByteArray m_bytes = QByteArray(kSize, '\0');
    std::array<bool, kSize> m_written{};
};
