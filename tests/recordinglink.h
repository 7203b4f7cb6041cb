#pragma once

#include "seriallink.h"

#include <QByteArray>

#include <utility>

// Stands in for the port in tests of the code above it: what is written is recorded at once,
// so "nothing was written" is checked exactly, and the next open or write can be made to fail.
class RecordingLink : public SerialLink {
public:
    QByteArray wire;
    OpenFailure nextOpenFailure = OpenFailure::None;
    WriteFailure nextFailure = WriteFailure::None;
    QString device = QStringLiteral("/dev/ttyUSB0");
    QString failureDetail;

    OpenResult Open(int portNumber) override
    {
        OpenResult result;
        result.device = device;
        result.failure = std::exchange(nextOpenFailure, OpenFailure::None);
        if (result.ok())
            m_open = portNumber; // on failure the port in use stays in use
        return result;
    }
    WriteResult writeBytes(QByteArrayView bytes) override
    {
        WriteResult result;
        result.portNumber = m_open;
        result.device = device;
        if (m_open == 0) {
            result.failure = WriteFailure::NotOpen;
        } else if (nextFailure != WriteFailure::None) {
            result.failure = std::exchange(nextFailure, WriteFailure::None);
            result.detail = failureDetail;
            if (result.failure == WriteFailure::DeviceGone)
                m_open = 0; // a device found gone closes the port
        } else {
            wire += bytes.toByteArray();
            result.sequence = ++m_lastSequence;
        }
        return result;
    }
    int openPort() const override { return m_open; }
    void unplug() { m_open = 0; }

private:
    int m_open = 0;
    quint64 m_lastSequence = 0;
};
