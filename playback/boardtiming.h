// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

// The board's timing model: one unit is 10 ms; 253, 254 and 255 stand for 266, 300 and 400.
int durationUnits(quint8 durationByte);
