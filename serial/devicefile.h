// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// What the system tells of device files (devicefile_linux.cpp here).

// Whether two paths reach the same device, through links or not.
bool isSameDevice(const QString &a, const QString &b);

// The device's stable name, which stays the same from one plug to the next; empty when none.
QString stableDeviceLink(const QString &device);
