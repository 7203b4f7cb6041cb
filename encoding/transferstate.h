// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "sentframes.h"

#include <QtGlobal>

// What the transfer command remembers between two presses of "Transfert".
struct TransferState {
    static constexpr quint8 MaxNotes = 31;

    // The EEPROM address of a slot (1 to MaxNotes): two bytes per note from 0.
    static constexpr quint8 addressOf(int slot) { return quint8(2 * (slot - 1)); }
    static constexpr quint8 lastAddress() { return addressOf(MaxNotes); }

    quint8 NoteNumber = 1;    // slot the next transfer writes, 1 to MaxNotes
    quint8 DeviceAddress = 0; // EEPROM address of the slot last written
    quint8 NoteCode = 0;      // last note code written
    qint16 DurationCode = 0;  // last duration value written

    SentFrames sentFrames; // the slots of the frames the link may still be sending
};
