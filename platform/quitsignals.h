// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QCoreApplication;

// Makes the signals that ask a program to end (Ctrl-C, a polite kill, its terminal closing) quit
// app's event loop at its next pass, so that the program ends as it does when the user closes it:
// queued bytes still leave and the port is released. One implementation per platform
// (quitsignals_unix.cpp here).
void quitOnUnixSignals(QCoreApplication &app);

// The same for a program with a wait loop of its own: a descriptor that becomes readable when
// such a signal arrives, or -1 when none could be set up.
int quitSignalDescriptor();
