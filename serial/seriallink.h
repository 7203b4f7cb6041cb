// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "systemerror.h"

#include <QByteArrayView>
#include <QObject>
#include <QString>

#include <chrono>

// Why a port could not be opened; the user's fix differs for each.
// NoPort: the port follows the ports present, and there is none for it.
// NoUart: the device node is there but no serial hardware answers behind it (common for the
// first ports of a PC).
enum class OpenFailure {
    None,
    UnknownPort,
    NoPort,
    Missing,
    PermissionDenied,
    Busy,
    StaleLock, // a serial lock file names a process that no longer runs
    NotATerminal,
    NoUart,
    OwnTerminal, // the terminal this program runs in, not a port
    Other,
};

struct OpenResult {
    OpenFailure failure = OpenFailure::None;
    QString device;                              // the device path that was tried
    SystemError systemError = SystemError::None; // what the system answered, when it did
    QString detail; // the system's or Qt's own words, untranslated; may be empty
    QString holder; // Busy: the program that has the device open, when it could be seen
    qint64 holderPid = 0;
    QString lockFile; // StaleLock: the lock file in the way
    // Who may open the device, for PermissionDenied when the system tells: owner and group
    // names, and its access as ls -l shows it ("crw-rw----").
    QString deviceOwner;
    QString deviceGroup;
    QString deviceAccess;

    bool ok() const { return failure == OpenFailure::None; }
};

// The writes a port was handed that never wholly left it, by the numbers the link gave them
// (WriteResult::sequence): a write cut in the middle counts as not sent.
struct UnsentWrites {
    quint64 first = 0; // 0 when every write left
    quint64 last = 0;
    int count = 0;

    bool any() const { return count > 0; }
};

enum class WriteFailure { None, NotOpen, DeviceGone, System };

struct WriteResult {
    WriteFailure failure = WriteFailure::None;
    int portNumber = 0; // the port the bytes were meant for, 0 when none was open
    QString device;
    SystemError systemError = SystemError::None; // for a System failure, when the system said
    QString detail;       // the system's or Qt's own words for a System failure
    quint64 sequence = 0; // the link's number for an accepted write, counting from 1; 0 if none
    UnsentWrites unsent;  // with DeviceGone: earlier writes the vanished port still held

    bool ok() const { return failure == WriteFailure::None; }
};

// Why an open port closed on its own.
struct PortLoss {
    enum class Cause { DeviceGone, WriteError };

    Cause cause = Cause::DeviceGone;
    SystemError systemError = SystemError::None; // for a WriteError, when the system said
    QString detail;                              // Qt's own words for a WriteError
    qint64 unsentBytes = 0;                      // queued bytes that never left
    UnsentWrites unsent;                         // the writes those bytes belonged to
};

// The one serial port the melody goes out on. Writes never wait for the line: the bytes are
// queued and leave while the event loop runs, and the link says when they have left.
class SerialLink : public QObject {
    Q_OBJECT
public:
    // How long the bytes still queued may take to leave when the program ends.
    static constexpr std::chrono::milliseconds kExitFlushBudget{2000};

    explicit SerialLink(QObject *parent = nullptr);
    ~SerialLink() override;

    // Opens port 1 or 2 at 2400 baud, 8N1. The port already in use stays in use when this fails.
    virtual OpenResult Open(int portNumber) = 0;

    // Hands all the bytes to the port, or none of them.
    virtual WriteResult writeBytes(QByteArrayView bytes) = 0;

    // The port in use, 0 when none is open.
    virtual int openPort() const = 0;

    // Sends what is still queued, waiting at most budget, then closes every port. Returns how
    // many writes could not wholly leave in time.
    virtual int flushAndClose(std::chrono::milliseconds budget = kExitFlushBudget) = 0;

    WriteResult WriteByte(quint8 value)
    {
        const char byte = static_cast<char>(value);
        return writeBytes(QByteArrayView(&byte, 1));
    }

signals:
    // Every byte written to the port in use has left the line: the port's buffer and the
    // driver's queue are both empty.
    void drained();
    // A port closed on its own (adapter unplugged, write error). Emitted once per loss.
    void portLost(int portNumber, const QString &device, const PortLoss &loss);
};
