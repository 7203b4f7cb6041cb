#pragma once

#include "sentframes.h"

#include <QtGlobal>

// What the transfer command remembers between two presses of "Transfert".
struct TransferState {
    static constexpr quint8 MaxNotes = 31;

    quint8 NoteNumber = 1;    // slot the next transfer writes, 1 to MaxNotes
    quint8 DeviceAddress = 0; // EEPROM address of the slot last written
    quint8 NoteCode = 0;      // last note code written
    qint16 DurationCode = 0;  // last duration value written

    SentFrames sentFrames; // the slots of the frames the link may still be sending
};
