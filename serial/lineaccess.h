// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "seriallink.h"

#include <QString>

#include <memory>

// What the serial code needs of the operating system beyond Qt Serial Port: an exclusive claim
// on the device for as long as we use it, the line set before Qt opens it, and questions about
// the descriptor Qt opened that Qt cannot answer. One implementation per platform
// (lineaccess_unix.cpp here).
class LineAccess {
public:
    LineAccess();
    ~LineAccess(); // lets go of the claim
    LineAccess(const LineAccess &) = delete;
    LineAccess &operator=(const LineAccess &) = delete;

    // Opens the device for ourselves, checks that it is a terminal, takes the exclusive lock
    // and sets the line to 2400 baud 8N1 raw. On failure fills result and holds nothing.
    bool claim(const QString &path, OpenResult &result);
    // Puts back the line settings found by claim(): for a device we end up not using.
    void restoreLine();
    // The same once the last byte has left the line, UART included: for a device we are done
    // with, so the user's other programs find it as it was.
    void restoreLineAfterOutput();

    // Questions about the port's own handle (QSerialPort::handle()).
    static bool isHungUp(qintptr handle);
    static bool takesBytes(qintptr handle);
    // Whether the driver still holds bytes that have not left the line.
    static bool driverHoldsBytes(qintptr handle);
    // How many; -1 when the driver cannot tell (a device gone).
    static qint64 driverQueuedBytes(qintptr handle);

private:
    struct Saved;
    int m_fd = -1;
    std::unique_ptr<Saved> m_saved;
};
