// SPDX-License-Identifier: GPL-3.0-or-later
#include "deviceport.h"

#include "portguards.h"
#include "systemerror.h"

#include <QDeadlineTimer>
#include <QThread>

namespace {

bool fail(OpenResult &result, OpenFailure failure, const QString &detail = {})
{
    result.failure = failure;
    result.detail = detail;
    return false;
}

} // namespace

std::unique_ptr<DevicePort> DevicePort::open(const QString &path, OpenResult &result,
                                             QObject *parent)
{
    result.device = path;
    std::unique_ptr<DevicePort> port(new DevicePort(path, parent));
    if (!port->m_line.claim(path, result))
        return nullptr;
    if (!port->configureAndOpen(result)) {
        port->m_line.restoreLine(); // someone else's port: leave it as it was
        return nullptr;
    }
    return port;
}

DevicePort::DevicePort(const QString &path, QObject *parent)
    : QObject(parent)
    , m_path(path)
{
    connect(&m_port, &QSerialPort::errorOccurred, this, &DevicePort::onError);
    // The device never has anything to say; drop whatever arrives so nothing piles up.
    connect(&m_port, &QSerialPort::readyRead, this, [this] { m_port.readAll(); });
    connect(&m_port, &QSerialPort::bytesWritten, this, &DevicePort::checkDrained);
    // A device that vanishes takes its driver's queue along before we can ask how much it held:
    // keep the last answer fresh while it holds anything, so the loss is told in whole writes.
    m_driverWatch.setInterval(20);
    connect(&m_driverWatch, &QTimer::timeout, this, &DevicePort::checkDrained);
}

DevicePort::~DevicePort()
{
    if (!m_port.isOpen())
        return;
    const bool allLeft = stillQueued() == 0;
    m_port.close();
    // Changing the speed under bytes still waiting would garble them: then the line stays set.
    if (allLeft)
        m_line.restoreLineAfterOutput();
}

bool DevicePort::configureAndOpen(OpenResult &result)
{
    m_port.setPortName(m_path);
    const bool configured =
        m_port.setBaudRate(QSerialPort::Baud2400) && m_port.setDataBits(QSerialPort::Data8) &&
        m_port.setParity(QSerialPort::NoParity) && m_port.setStopBits(QSerialPort::OneStop) &&
        m_port.setFlowControl(QSerialPort::NoFlowControl);
    if (!configured)
        return fail(result, OpenFailure::Other, m_port.errorString());

    // Read-write although nothing is read: only the read side notices an adapter pulled out.
    if (m_port.open(QIODevice::ReadWrite))
        return true;

    switch (m_port.error()) {
    case QSerialPort::DeviceNotFoundError:
        return fail(result, OpenFailure::Missing);
    case QSerialPort::PermissionError:
        // We could open and lock the device ourselves, so it is Qt's lock file or TIOCEXCL
        // of another program that refused it; a lock file may outlive its program.
        result.lockFile = staleLockFile(m_path);
        return fail(result, result.lockFile.isEmpty() ? OpenFailure::Busy : OpenFailure::StaleLock);
    default:
        return fail(result, OpenFailure::Other, m_port.errorString());
    }
}

bool DevicePort::allSent() const
{
    if (!m_port.isOpen())
        return true;
    // A device going away can no longer say what its driver held: nothing has surely left.
    if (m_failing || isHungUp())
        return false;
    return m_port.bytesToWrite() == 0 && LineAccess::driverQueuedBytes(m_port.handle()) == 0 &&
           !LineAccess::driverHoldsBytes(m_port.handle());
}

qint64 DevicePort::pendingBytes()
{
    return stillQueued();
}

bool DevicePort::isHungUp() const
{
    return LineAccess::isHungUp(m_port.handle());
}

qint64 DevicePort::stillQueued()
{
    if (!m_port.isOpen())
        return 0;
    const qint64 inDriver = LineAccess::driverQueuedBytes(m_port.handle());
    if (inDriver >= 0)
        m_driverQueued = inDriver; // otherwise the last answer, which can only be too high
    return m_port.bytesToWrite() + m_driverQueued;
}

void DevicePort::checkDrained()
{
    if (m_failing)
        return;
    const qint64 queued = stillQueued();
    m_ledger.unsent(queued); // forgets the writes that have left
    if (m_driverQueued > 0 && !m_driverWatch.isActive())
        m_driverWatch.start();
    else if (m_driverQueued == 0)
        m_driverWatch.stop();
    if (queued == 0)
        emit drained();
}

UnsentWrites DevicePort::unsentWrites()
{
    return m_ledger.unsent(stillQueued());
}

DevicePort::Enqueue DevicePort::enqueue(QByteArrayView bytes, quint64 sequence, QString &detail)
{
    if (m_failing || !m_port.isOpen() || isHungUp())
        return Enqueue::Gone;
    const QByteArray copy = bytes.toByteArray();
    if (m_port.write(copy) != copy.size()) {
        detail = m_port.errorString();
        return Enqueue::Failed;
    }
    m_ledger.handOver(copy.size(), sequence);
    // Qt would write the frame at the next pass of the event loop, after the window has
    // repainted the slot and address: hand it to the driver now when the line takes it. A
    // stalled line is left to Qt's notifier, as write() would fail there and Qt would take
    // that for a lost device.
    if (LineAccess::takesBytes(m_port.handle()))
        m_port.flush(); // writes what the driver accepts, never waits
    checkDrained();
    return Enqueue::Queued;
}

int DevicePort::flush(std::chrono::milliseconds budget)
{
    if (!m_port.isOpen())
        return 0;
    const QDeadlineTimer deadline(budget);
    while (!m_failing && m_port.bytesToWrite() > 0 && !deadline.hasExpired()) {
        if (!m_port.waitForBytesWritten(int(deadline.remainingTime())) && !isHungUp())
            QThread::msleep(5); // a stalled line: wait for it to resume, within the budget
        if (isHungUp())
            break;
    }
    // Let the driver put the last bytes on the wire before close() restores the old settings.
    bool driverHolds = false;
    while (!isHungUp() && (driverHolds = LineAccess::driverHoldsBytes(m_port.handle())) &&
           !deadline.hasExpired())
        QThread::msleep(5);
    // Counted before the drop; a device gone may have taken bytes along that we still count.
    const int unsent = m_ledger.unsent(stillQueued()).count;
    if (m_port.bytesToWrite() > 0 || driverHolds) {
        m_port.clear(QSerialPort::Output);
        m_driverQueued = 0; // dropped along with ours
    }
    return unsent;
}

void DevicePort::onError(QSerialPort::SerialPortError error)
{
    // An unplugged adapter shows up as ResourceError, a hung-up pseudo-terminal as ReadError.
    const bool lost = error == QSerialPort::ResourceError || error == QSerialPort::ReadError;
    if (!lost && error != QSerialPort::WriteError)
        return;
    if (m_failing)
        return; // Qt repeats the error until the port is closed
    m_failing = true;
    // Qt tells us from inside the call that failed: the system's answer is still there.
    const SystemError systemError = lastSystemError();
    m_loss.cause = lost ? PortLoss::Cause::DeviceGone : PortLoss::Cause::WriteError;
    if (!lost) {
        m_loss.systemError = systemError;
        m_loss.detail = m_port.errorString();
    }
    // Closing the port from inside its own signal is unsafe; do it once control is back.
    QMetaObject::invokeMethod(this, &DevicePort::reportFailure, Qt::QueuedConnection);
}

void DevicePort::reportFailure()
{
    if (!m_port.isOpen())
        return; // told already, ahead of the queued call
    // Notes already shown as written may not have reached the board: say so, never drop silently.
    m_loss.unsentBytes = stillQueued();
    m_loss.unsent = m_ledger.unsent(m_loss.unsentBytes);
    m_driverWatch.stop();
    m_port.close();
    emit failed(m_loss);
}
