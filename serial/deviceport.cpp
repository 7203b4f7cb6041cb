#include "deviceport.h"

#include <QDeadlineTimer>
#include <QThread>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace {

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

OpenFailure failureForErrno(int error)
{
    switch (error) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
        return OpenFailure::Missing;
    case EACCES:
    case EPERM:
        return OpenFailure::PermissionDenied;
    case EBUSY:
    case EWOULDBLOCK:
        return OpenFailure::Busy;
    default:
        return OpenFailure::Other;
    }
}

QString reasonFor(OpenFailure failure, const QString &detail = {})
{
    switch (failure) {
    case OpenFailure::Missing:
        return QStringLiteral("le périphérique n'existe pas (adaptateur débranché ou mauvais nom "
                              "de périphérique)");
    case OpenFailure::PermissionDenied:
        return QStringLiteral("accès refusé");
    case OpenFailure::Busy:
        return QStringLiteral("le port est déjà utilisé par un autre programme");
    case OpenFailure::NoPort:
    case OpenFailure::Other:
    case OpenFailure::None:
        break;
    }
    return detail;
}

bool fail(OpenResult &result, OpenFailure failure, const QString &detail = {})
{
    result.failure = failure;
    result.reason = reasonFor(failure, detail);
    return false;
}

// 2400 baud, 8 data bits, no parity, 1 stop bit, raw, no flow control.
void setLineSettings(int fd, termios settings)
{
    ::cfmakeraw(&settings);
    ::cfsetispeed(&settings, B2400);
    ::cfsetospeed(&settings, B2400);
    settings.c_cflag &= ~(CSIZE | PARENB | CSTOPB | CRTSCTS);
    settings.c_cflag |= CS8 | CLOCAL | CREAD;
    settings.c_iflag &= ~(IXON | IXOFF | IXANY);
    settings.c_cc[VMIN] = 0;
    settings.c_cc[VTIME] = 0;
    ::tcsetattr(fd, TCSANOW, &settings);
}

} // namespace

std::unique_ptr<DevicePort> DevicePort::open(const QString &path, OpenResult &result,
                                             QObject *parent)
{
    result.device = path;

    // Our own descriptor tells missing, refused and busy apart before Qt touches the line
    // settings, and carries the flock for as long as the port stays open.
    const QByteArray nativePath = path.toLocal8Bit();
    const int fd = ::open(nativePath.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        fail(result, failureForErrno(error), systemError(error));
        return nullptr;
    }
    // A terminal answers tcgetattr(); isatty() says no for some emulated ones.
    termios probe{};
    if (::tcgetattr(fd, &probe) != 0) {
        ::close(fd);
        fail(result, OpenFailure::Other, QStringLiteral("ce n'est pas un port série"));
        return nullptr;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(fd);
        fail(result, error == EWOULDBLOCK ? OpenFailure::Busy : OpenFailure::Other,
             systemError(error));
        return nullptr;
    }

    // Qt puts back on close the settings it found at open. Setting the line first makes that a
    // no-op, so the last bytes still in the driver or the UART never change speed under them.
    termios original{};
    const bool known = ::tcgetattr(fd, &original) == 0;
    if (known)
        setLineSettings(fd, original);

    std::unique_ptr<DevicePort> port(new DevicePort(path, fd, parent));
    if (!port->configureAndOpen(result)) {
        if (known)
            ::tcsetattr(fd, TCSANOW, &original); // someone else's port: leave it as it was
        return nullptr;
    }
    return port;
}

DevicePort::DevicePort(const QString &path, int lockFd, QObject *parent)
    : QObject(parent)
    , m_path(path)
    , m_lockFd(lockFd)
{
    connect(&m_port, &QSerialPort::errorOccurred, this, &DevicePort::onError);
    // The device never has anything to say; drop whatever arrives so nothing piles up.
    connect(&m_port, &QSerialPort::readyRead, this, [this] { m_port.readAll(); });
    connect(&m_port, &QSerialPort::bytesWritten, this, [this] {
        if (m_port.bytesToWrite() == 0)
            emit drained();
    });
}

DevicePort::~DevicePort()
{
    if (m_port.isOpen())
        m_port.close();
    if (m_lockFd >= 0)
        ::close(m_lockFd);
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
        // We could open and flock the device ourselves, so it is Qt's lock file or TIOCEXCL
        // of another program that refused it.
        return fail(result, OpenFailure::Busy);
    default:
        return fail(result, OpenFailure::Other, m_port.errorString());
    }
}

qint64 DevicePort::pendingBytes() const
{
    return m_port.isOpen() ? m_port.bytesToWrite() : 0;
}

bool DevicePort::lineTakesBytes() const
{
    pollfd entry{static_cast<int>(m_port.handle()), POLLOUT, 0};
    return ::poll(&entry, 1, 0) > 0 && (entry.revents & POLLOUT) &&
           !(entry.revents & (POLLHUP | POLLERR | POLLNVAL));
}

bool DevicePort::isHungUp() const
{
    pollfd entry{static_cast<int>(m_port.handle()), 0, 0};
    return ::poll(&entry, 1, 0) > 0 && (entry.revents & (POLLHUP | POLLERR | POLLNVAL));
}

DevicePort::Enqueue DevicePort::enqueue(QByteArrayView bytes, QString &error)
{
    if (m_failing || !m_port.isOpen() || isHungUp())
        return Enqueue::Gone;
    const QByteArray copy = bytes.toByteArray();
    if (m_port.write(copy) != copy.size()) {
        error = m_port.errorString();
        return Enqueue::Failed;
    }
    // Qt would write the frame at the next pass of the event loop, after the window has
    // repainted the slot and address: hand it to the driver now when the line takes it. A
    // stalled line is left to Qt's notifier, as write() would fail there and Qt would take
    // that for a lost device.
    if (lineTakesBytes())
        m_port.flush(); // writes what the driver accepts, never waits
    return Enqueue::Queued;
}

void DevicePort::flush(std::chrono::milliseconds budget)
{
    if (!m_port.isOpen())
        return;
    const QDeadlineTimer deadline(budget);
    while (!m_failing && m_port.bytesToWrite() > 0 && !deadline.hasExpired()) {
        if (!m_port.waitForBytesWritten(int(deadline.remainingTime())) && !isHungUp())
            QThread::msleep(5); // a stalled line: wait for it to resume, within the budget
        if (isHungUp())
            break;
    }
    // Let the driver put the last bytes on the wire before close() restores the old settings.
    int queued = 0;
    while (!isHungUp() && ::ioctl(int(m_port.handle()), TIOCOUTQ, &queued) == 0 && queued > 0 &&
           !deadline.hasExpired())
        QThread::msleep(5);
    if (m_port.bytesToWrite() > 0 || queued > 0)
        m_port.clear(QSerialPort::Output);
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
    m_failure = lost ? QStringLiteral("le périphérique a disparu (adaptateur débranché ?)")
                     : QStringLiteral("échec de l'écriture : %1").arg(m_port.errorString());
    // Closing the port from inside its own signal is unsafe; do it once control is back.
    QMetaObject::invokeMethod(this, &DevicePort::reportFailure, Qt::QueuedConnection);
}

void DevicePort::reportFailure()
{
    // Notes already shown as written may not have reached the board: say so, never drop silently.
    const qint64 unsent = m_port.bytesToWrite();
    m_port.close();
    QString reason = m_failure;
    if (unsent > 0)
        reason += QStringLiteral(" ; %1 octet(s) en attente n'ont pas été envoyés, renvoyez les "
                                 "dernières notes")
                      .arg(unsent);
    emit failed(reason);
}
