// SPDX-License-Identifier: GPL-3.0-or-later
#include "lineaccess.h"

#include "portguards.h"
#include "systemerror.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

struct LineAccess::Saved {
    termios settings{};
};

namespace {

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

// What the failed open() meant, with what the file itself tells.
OpenFailure failureForOpen(int error, const struct stat *file)
{
    const bool device = file && S_ISCHR(file->st_mode);
    if (error == ENXIO && file && !device)
        return OpenFailure::NotATerminal; // a socket answers open() with ENXIO
    if (error == EIO && device)
        return OpenFailure::NoUart; // the 8250 driver, for a port with no UART behind it
    return failureForErrno(error);
}

// As ls -l shows it: "crw-rw----".
QString accessText(mode_t mode)
{
    QString text = S_ISCHR(mode) ? QStringLiteral("c") : QStringLiteral("-");
    const mode_t bits[] = {S_IRUSR, S_IWUSR, S_IXUSR, S_IRGRP, S_IWGRP,
                           S_IXGRP, S_IROTH, S_IWOTH, S_IXOTH};
    const QString letters = QStringLiteral("rwxrwxrwx");
    for (int i = 0; i < 9; ++i)
        text += (mode & bits[i]) ? letters[i] : u'-';
    return text;
}

void describeOwner(OpenResult &result, const struct stat &file)
{
    const passwd *owner = ::getpwuid(file.st_uid);
    const group *group = ::getgrgid(file.st_gid);
    result.deviceOwner =
        owner ? QString::fromLocal8Bit(owner->pw_name) : QString::number(file.st_uid);
    result.deviceGroup =
        group ? QString::fromLocal8Bit(group->gr_name) : QString::number(file.st_gid);
    result.deviceAccess = accessText(file.st_mode);
}

bool fail(OpenResult &result, OpenFailure failure, int error)
{
    result.failure = failure;
    result.systemError = systemErrorFor(error);
    result.detail = QString::fromLocal8Bit(std::strerror(error));
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

short pollEvents(qintptr handle, short wanted)
{
    pollfd entry{static_cast<int>(handle), wanted, 0};
    return ::poll(&entry, 1, 0) > 0 ? entry.revents : short(0);
}

} // namespace

LineAccess::LineAccess() = default;

LineAccess::~LineAccess()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool LineAccess::claim(const QString &path, OpenResult &result)
{
    // Our own descriptor tells missing, refused and busy apart before Qt touches the line
    // settings, and carries the flock for as long as the port stays open.
    const QByteArray nativePath = path.toLocal8Bit();
    const int fd = ::open(nativePath.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        struct stat file {};
        const bool known = ::stat(nativePath.constData(), &file) == 0;
        fail(result, failureForOpen(error, known ? &file : nullptr), error);
        if (known && result.failure == OpenFailure::PermissionDenied)
            describeOwner(result, file);
        return false;
    }
    auto saved = std::make_unique<Saved>();
    // tcgetattr rather than isatty: emulated terminals (umockdev) only answer the former.
    if (::tcgetattr(fd, &saved->settings) != 0) {
        const int error = errno;
        ::close(fd);
        return fail(result, OpenFailure::NotATerminal, error);
    }
    if (isOwnTerminal(fd)) {
        ::close(fd);
        result.failure = OpenFailure::OwnTerminal;
        return false;
    }
    if (!isPortTerminal(fd)) {
        ::close(fd);
        result.failure = OpenFailure::NotATerminal;
        return false;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(fd);
        return fail(result, error == EWOULDBLOCK ? OpenFailure::Busy : OpenFailure::Other, error);
    }

    // Qt puts back on close the settings it found at open. Setting the line first makes that a
    // no-op, so the last bytes still in the driver or the UART never change speed under them.
    setLineSettings(fd, saved->settings);
    m_fd = fd;
    m_saved = std::move(saved);
    return true;
}

void LineAccess::restoreLine()
{
    if (m_fd >= 0 && m_saved)
        ::tcsetattr(m_fd, TCSANOW, &m_saved->settings);
}

void LineAccess::restoreLineAfterOutput()
{
    // The driver's queue is empty by now; TCSADRAIN waits for the few bytes still in the UART.
    if (m_fd >= 0 && m_saved)
        ::tcsetattr(m_fd, TCSADRAIN, &m_saved->settings);
}

bool LineAccess::isHungUp(qintptr handle)
{
    return pollEvents(handle, 0) & (POLLHUP | POLLERR | POLLNVAL);
}

bool LineAccess::takesBytes(qintptr handle)
{
    const short events = pollEvents(handle, POLLOUT);
    return (events & POLLOUT) && !(events & (POLLHUP | POLLERR | POLLNVAL));
}

bool LineAccess::driverHoldsBytes(qintptr handle)
{
    const int fd = static_cast<int>(handle);
    int queued = 0;
    if (::ioctl(fd, TIOCOUTQ, &queued) == 0 && queued > 0)
        return true;
    // The driver's queue can be empty while the UART still shifts out its last bytes; drivers
    // that can tell (8250 and kin) say so here, the others (pseudo-terminals) refuse the call.
    unsigned int lineStatus = 0;
    return ::ioctl(fd, TIOCSERGETLSR, &lineStatus) == 0 && !(lineStatus & TIOCSER_TEMT);
}

qint64 LineAccess::driverQueuedBytes(qintptr handle)
{
    int queued = 0;
    return ::ioctl(static_cast<int>(handle), TIOCOUTQ, &queued) == 0 ? queued : -1;
}
