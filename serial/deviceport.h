// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "lineaccess.h"
#include "seriallink.h"
#include "writeledger.h"

#include <QObject>
#include <QSerialPort>
#include <QTimer>

#include <chrono>
#include <memory>

// One opened serial device: the Qt port, set to 2400 baud 8N1 raw, plus an exclusive claim that
// keeps lock-aware terminals (picocom, tio) and a second copy of this program off the device.
class DevicePort : public QObject {
    Q_OBJECT
public:
    enum class Enqueue { Queued, Gone, Failed };

    // Returns nullptr and fills result when the device cannot be used.
    static std::unique_ptr<DevicePort> open(const QString &path, OpenResult &result,
                                            QObject *parent);
    ~DevicePort() override;

    QString path() const { return m_path; }
    bool isFailing() const { return m_failing; }
    // Bytes not yet on the line: ours and the driver's.
    qint64 pendingBytes();
    // Whether every byte written has left the line: none held by Qt, none by the driver.
    bool allSent() const;

    // Queues all the bytes or none, as the link's write number sequence; never waits for the
    // line. On Failed, detail holds Qt's words.
    Enqueue enqueue(QByteArrayView bytes, quint64 sequence, QString &detail);
    // The writes that have not wholly left, for a port about to be dropped.
    UnsentWrites unsentWrites();

    // Tells a failure now rather than at the next pass of the event loop; once only.
    void reportFailure();

    // Waits at most budget for the queued bytes to leave, then drops what is left so that
    // closing cannot hang on a stalled line. Returns how many writes did not wholly leave.
    int flush(std::chrono::milliseconds budget);

signals:
    // The device went away or a write failed; the port is already closed. Emitted once.
    void failed(const PortLoss &loss);
    // Every queued byte has left the line.
    void drained();

private:
    DevicePort(const QString &path, QObject *parent);
    bool configureAndOpen(OpenResult &result);
    bool isHungUp() const;
    qint64 stillQueued();
    void checkDrained();
    void onError(QSerialPort::SerialPortError error);

    QString m_path;
    LineAccess m_line;
    QSerialPort m_port{this}; // a child, so tests can inspect its settings
    bool m_failing = false;
    PortLoss m_loss;
    WriteLedger m_ledger;
    qint64 m_driverQueued = 0; // the driver's queue when last asked
    QTimer m_driverWatch;      // asks again while the driver holds bytes
};
