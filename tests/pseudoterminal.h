// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <termios.h>

// Reads from a pseudo-terminal's master side until count bytes have arrived or timeoutMs passed,
// running the event loop meanwhile when asked.
QByteArray readFromMaster(int master, int count, int timeoutMs, bool runEventLoop);

// A real pseudo-terminal standing in for the device: the program opens slavePath(), the test
// reads what arrives on the master side.
class PseudoTerminal {
public:
    PseudoTerminal();
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal &) = delete;
    PseudoTerminal &operator=(const PseudoTerminal &) = delete;

    bool isValid() const { return m_master >= 0; }
    QString slavePath() const { return m_slavePath; }

    // Reads until count bytes have arrived or timeoutMs passed, running the event loop meanwhile
    // since queued bytes only leave while it runs.
    QByteArray read(int count, int timeoutMs = 5000);
    // The same without running the event loop, for bytes that must not wait for it.
    QByteArray readWithoutEventLoop(int count, int timeoutMs = 5000);
    // Whatever arrives within waitMs, for checking that nothing does.
    QByteArray readFor(int waitMs);

    termios settings() const; // the line settings the slave side was given
    void setSettings(const termios &settings);
    void stall(); // as a device holding XOFF: nothing leaves the slave
    void resume();
    void unplug(); // closes the master, as a pulled USB adapter

private:
    int m_master = -1;
    int m_slave = -1;
    QString m_slavePath;
};
