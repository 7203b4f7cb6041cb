// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

// One note on the wire: no header, no checksum, nothing comes back.
struct TransferFrame {
    quint8 DeviceAddress = 0;
    quint8 NoteCode = 0;
    quint8 DurationCode = 0;

    QByteArray toBytes() const
    {
        const char bytes[] = {char(DeviceAddress), char(NoteCode), char(DurationCode)};
        return QByteArray(bytes, sizeof bytes);
    }
};
