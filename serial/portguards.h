// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QtGlobal>

// Checks on a device about to become the port that opening it does not make. One
// implementation per platform (portguards_unix.cpp here).

// Whether the opened device is the terminal this program runs in: its controlling terminal, or
// the terminal of its standard input, output or error. Writing frames there would garble the
// user's screen and leave the terminal raw at 2400 baud.
bool isOwnTerminal(qintptr handle);

// The serial lock file another program left for this device, naming a process that no longer
// runs; empty when there is none. Qt cannot remove one that belongs to another account.
QString staleLockFile(const QString &devicePath);
