// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// How this platform names serial devices (devicenames_unix.cpp here).

// The device the user meant by a typed name: a bare name such as "ttyUSB0", or a path.
QString devicePathFor(const QString &typed);
