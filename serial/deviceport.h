#pragma once

#include "seriallink.h"

#include <QObject>
#include <QSerialPort>

#include <chrono>
#include <memory>

// One opened serial device: the Qt port, set to 2400 baud 8N1 raw, plus an advisory flock that
// keeps flock-aware terminals (picocom, tio) and a second copy of this program off the device.
class DevicePort : public QObject {
    Q_OBJECT
public:
    enum class Enqueue { Queued, Gone, Failed };

    // Returns nullptr and fills result.failure and result.reason when the device cannot be used.
    static std::unique_ptr<DevicePort> open(const QString &path, OpenResult &result,
                                            QObject *parent);
    ~DevicePort() override;

    QString path() const { return m_path; }
    bool isFailing() const { return m_failing; }
    qint64 pendingBytes() const;
    // What has not left the line yet: the bytes Qt still holds and those in the driver.
    qint64 unsentBytes() const;

    // Queues all the bytes or none; never waits for the line. On Failed, error holds the reason.
    Enqueue enqueue(QByteArrayView bytes, QString &error);

    // Waits at most budget for the queued bytes to leave, then drops what is left so that
    // closing cannot hang on a stalled line.
    void flush(std::chrono::milliseconds budget);

signals:
    // The device went away or a write failed; the port is already closed. Emitted once.
    void failed(const QString &reason);
    // Every queued byte has been handed to the device.
    void drained();

private:
    DevicePort(const QString &path, int lockFd, QObject *parent);
    bool configureAndOpen(OpenResult &result);
    bool isHungUp() const;
    bool lineTakesBytes() const;
    void onError(QSerialPort::SerialPortError error);
    void reportFailure();

    QString m_path;
    int m_lockFd = -1;
    QSerialPort m_port{this}; // a child, so tests can inspect its settings
    bool m_failing = false;
    QString m_failure;
};
