// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// What the two display fields show after a transfer: the slot and the EEPROM address written.
inline QString noteNumberText(int noteNumber)
{
    return QStringLiteral("Note N° %1").arg(noteNumber);
}

inline QString deviceAddressText(int deviceAddress)
{
    return QStringLiteral("@EEPROM: %1").arg(deviceAddress);
}
