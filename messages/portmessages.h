// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "seriallink.h"

#include <QString>

// What the user reads about the serial port, in French: the reasons the serial link returns as
// values, turned into sentences in this one place.

// "COM1", "COM2".
QString portName(int portNumber);
// The command-line option that names the device behind a port ("com1"), for the advice below.
QString deviceOptionName(int portNumber);

// Why the port could not be opened, as a clause ("accès refusé").
QString openFailureReason(const OpenResult &result);
// How the program in use lets the user name a device and try again.
struct RetryHint {
    QString deviceOption; // "--com1", "--port"
    QString again;        // "choisissez à nouveau le port", "recommencez"
};
// What to do about a port that could not be opened.
QString openFailureAdvice(const OpenResult &result, const RetryHint &hint);
// The whole warning: what failed, which port stays in use (0 for none), what to do.
QString openFailureText(int portNumber, const OpenResult &result, int portStillInUse);
// In the two below, port number 0 stands for a port the user named by its device path.
// An open port closed on its own; lostNotes, when given, says which notes to send again.
QString portLostText(int portNumber, const QString &device, const PortLoss &loss,
                     const QString &lostNotes = {});
// Notes firstSlot to lastSlot did not reach the board; the next one goes to nextSlot, whose
// address is written as the window's field shows it.
QString lostNotesText(int firstSlot, int lastSlot, int nextSlot, const QString &nextAddress);
// Notes firstSlot to lastSlot did not reach the board of lostPort, left for portInUse.
QString notesLackingText(int firstSlot, int lastSlot, int lostPort, int portInUse);
// Frames still waiting when the program had to end.
QString unsentAtExitText(int frames);
// A frame the link would not take.
QString writeFailureText(const WriteResult &result);

// Platform advice (portadvice_unix.cpp here): what lets the user open a device refused to them.
QString permissionAdvice(const OpenResult &result);
