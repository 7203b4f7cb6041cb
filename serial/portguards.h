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

// Whether the opened terminal can be a port: a serial line or the slave side of a
// pseudo-terminal, not a pseudo-terminal's master (/dev/ptmx opens a new one, read by nobody),
// a virtual console or /dev/tty, /dev/console.
bool isPortTerminal(qintptr handle);

// The serial lock file another program left for this device, naming a process that no longer
// runs; empty when there is none. Qt cannot remove one that belongs to another account.
QString staleLockFile(const QString &devicePath);

// The live process a serial lock file for this device names; 0 when there is none.
qint64 lockFileOwner(const QString &devicePath);
