#pragma once

class QCoreApplication;

// Ctrl-C or a polite kill leaves the event loop instead of killing the program, so it can still
// finish the frame on its way and say what it did.
void quitOnUnixSignals(QCoreApplication &app);
