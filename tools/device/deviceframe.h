// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "boardtiming.h"
#include "notetable.h"
#include "transferstate.h"

#include <QString>
#include <QStringList>

// One three-byte frame as the board receives it: address, note code, duration byte.
struct DeviceFrame {
    static constexpr int kSize = 3;
    static constexpr int kLastAddress = TransferState::lastAddress();
    static constexpr int kLastNoteCode = int(NoteTable.size());

    quint8 address = 0;
    quint8 noteCode = 0;
    quint8 durationByte = 0;

    bool isSlotAddress() const { return address % 2 == 0 && address <= kLastAddress; }
    int slot() const { return address / 2 + 1; }

    // What a board could not use, in French; empty when the frame is sound.
    QStringList problems() const;
    // One line, e.g. "Note 1 @0 : La3, 50 (0,50 s)", with the problems after it.
    QString describe() const;
};

// "0,50 s"
QString formatSeconds(int units);
// The French name of a note code, "silence" for 0, "?" beyond the table.
QString noteName(quint8 noteCode);
