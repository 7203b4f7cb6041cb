// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "seriallink.h"

#include <QByteArray>
#include <QMetaObject>

#include <utility>

// Stands in for the port in tests of the code above it: what is written is recorded at once,
// so "nothing was written" is checked exactly, and the next open or write can be made to fail.
// By default a write has left at once and nothing is signalled; with drainLater it leaves at
// the next pass of the event loop, as on a real port, and with holdLine only at releaseLine().
class RecordingLink : public SerialLink {
public:
    QByteArray wire;
    OpenFailure nextOpenFailure = OpenFailure::None;
    WriteFailure nextFailure = WriteFailure::None;
    QString device = QStringLiteral("/dev/ttyUSB0");
    SystemError failureError = SystemError::None;
    QString failureDetail;
    bool drainLater = false;
    bool holdLine = false;
    int opens = 0;

    // As new, for a test fixture that keeps one link.
    void reset()
    {
        wire.clear();
        nextOpenFailure = OpenFailure::None;
        nextFailure = WriteFailure::None;
        device = QStringLiteral("/dev/ttyUSB0");
        failureError = SystemError::None;
        failureDetail.clear();
        drainLater = holdLine = false;
        opens = 0;
        m_open = m_queued = 0;
        m_lastSequence = 0;
    }

    OpenResult Open(int portNumber) override
    {
        ++opens;
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
            result.systemError = failureError;
            result.detail = failureDetail;
            if (result.failure == WriteFailure::DeviceGone)
                m_open = 0; // a device found gone closes the port
        } else {
            wire += bytes.toByteArray();
            result.sequence = ++m_lastSequence;
            if (holdLine || drainLater)
                ++m_queued;
            if (drainLater && !holdLine)
                QMetaObject::invokeMethod(this, &RecordingLink::releaseLine, Qt::QueuedConnection);
        }
        return result;
    }
    int openPort() const override { return m_open; }
    int flushAndClose(std::chrono::milliseconds) override
    {
        // A held line lets nothing out in time; otherwise what is queued leaves now.
        const int queued = std::exchange(m_queued, 0);
        const int unsent = holdLine ? queued : 0;
        m_open = 0;
        return unsent;
    }
    void unplug() { m_open = 0; }
    // Every write so far has left the line.
    void releaseLine()
    {
        if (std::exchange(m_queued, 0) > 0)
            emit drained();
    }
    // The port in use closes on its own, the writes not yet released lost with it.
    void losePort(PortLoss loss = {})
    {
        const int port = std::exchange(m_open, 0);
        if (m_queued > 0) {
            loss.unsent = {m_lastSequence - quint64(m_queued) + 1, m_lastSequence, m_queued};
            m_queued = 0;
        }
        emit portLost(port, device, loss);
    }
    quint64 lastSequence() const { return m_lastSequence; }

private:
    int m_open = 0;
    int m_queued = 0;
    quint64 m_lastSequence = 0;
};
