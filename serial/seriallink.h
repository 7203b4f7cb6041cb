#pragma once

#include <QByteArrayView>
#include <QString>

// Why a port could not be opened; the user's fix differs for each.
enum class OpenFailure { None, UnknownPort, Missing, PermissionDenied, Busy, NotATerminal, Other };

struct OpenResult {
    OpenFailure failure = OpenFailure::None;
    QString device;      // the device path that was tried
    int systemError = 0; // the system's error number, 0 when it gave none
    QString detail;      // the system's or Qt's own words, untranslated; may be empty

    bool ok() const { return failure == OpenFailure::None; }
};

enum class WriteFailure { None, NotOpen, DeviceGone, System };

struct WriteResult {
    WriteFailure failure = WriteFailure::None;
    int portNumber = 0; // the port the bytes were meant for, 0 when none was open
    QString device;
    QString detail; // the system's or Qt's own words for a System failure

    bool ok() const { return failure == WriteFailure::None; }
};

// Why an open port closed on its own.
struct PortLoss {
    enum class Cause { DeviceGone, WriteError };

    Cause cause = Cause::DeviceGone;
    QString detail;         // Qt's own words for a WriteError
    qint64 unsentBytes = 0; // queued bytes that never left
};

// The one serial port the melody goes out on. Writes never wait for the line: the bytes are
// queued and leave while the event loop runs.
class SerialLink {
public:
    virtual ~SerialLink() = default;

    // Opens port 1 or 2 at 2400 baud, 8N1. The port already in use stays in use when this fails.
    virtual OpenResult Open(int portNumber) = 0;

    // Hands all the bytes to the port, or none of them.
    virtual WriteResult writeBytes(QByteArrayView bytes) = 0;

    // The port in use, 0 when none is open.
    virtual int openPort() const = 0;

    WriteResult WriteByte(quint8 value)
    {
        const char byte = static_cast<char>(value);
        return writeBytes(QByteArrayView(&byte, 1));
    }
};
