// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

#include <termios.h>

// What in the line settings the writer chose would garble the bytes for a board expecting
// 2400 baud, 8 data bits, no parity, 1 stop bit and raw output. Empty when all is right.
// A pseudo-terminal always reports 8 data bits and no parity, so those two cannot be seen here.
QStringList lineProblems(const termios &settings);
