// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// What the two display fields show: their start texts, shown again when no note has left yet,
// and after a transfer the slot and the EEPROM address written.
inline QString noteNumberStartText()
{
    return QStringLiteral("Note N°");
}

inline QString deviceAddressStartText()
{
    return QStringLiteral("@EEPROM");
}

inline QString noteNumberText(int noteNumber)
{
    return noteNumberStartText() + u' ' + QString::number(noteNumber);
}

inline QString deviceAddressText(int deviceAddress)
{
    return deviceAddressStartText() + QStringLiteral(": ") + QString::number(deviceAddress);
}
