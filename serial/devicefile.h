#pragma once

#include <QString>

// How the system names serial devices; one source file per platform.

// The path a device named on the command line stands for: a bare name such as "ttyUSB0" is
// looked for where the system keeps devices, any other path is taken from the current folder.
QString devicePathFor(const QString &given);

// Whether two paths reach the same device, through links or not.
bool isSameDevice(const QString &a, const QString &b);

// The device's stable name, which stays the same from one plug to the next; empty when none.
QString stableDeviceLink(const QString &device);
