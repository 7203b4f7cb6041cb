// SPDX-License-Identifier: GPL-3.0-or-later
#include "pseudoterminal.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <unistd.h>

PseudoTerminal::PseudoTerminal()
{
    char name[256] = {};
    if (::openpty(&m_master, &m_slave, name, nullptr, nullptr) != 0) {
        m_master = m_slave = -1;
        return;
    }
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
    // A program the test starts must not hold the master too, or unplug() would hang up nothing.
    ::fcntl(m_master, F_SETFD, FD_CLOEXEC);
    ::fcntl(m_slave, F_SETFD, FD_CLOEXEC);
    m_slavePath = QString::fromLocal8Bit(name);
}

PseudoTerminal::~PseudoTerminal()
{
    if (m_master >= 0)
        ::close(m_master);
    if (m_slave >= 0)
        ::close(m_slave);
}

QByteArray PseudoTerminal::read(int count, int timeoutMs)
{
    return readFromMaster(m_master, count, timeoutMs, true);
}

QByteArray PseudoTerminal::readWithoutEventLoop(int count, int timeoutMs)
{
    return readFromMaster(m_master, count, timeoutMs, false);
}

QByteArray readFromMaster(int master, int count, int timeoutMs, bool runEventLoop)
{
    QByteArray received;
    const QDeadlineTimer deadline(timeoutMs);
    do { // at least once, so that readFor(0) lets queued bytes leave
        if (runEventLoop)
            QCoreApplication::processEvents();
        const qint64 wait = qMin<qint64>(runEventLoop ? 5 : timeoutMs, deadline.remainingTime());
        pollfd entry{master, POLLIN, 0};
        if (::poll(&entry, 1, int(wait)) <= 0)
            continue;
        char buffer[4096];
        const ssize_t got = ::read(master, buffer, sizeof buffer);
        if (got > 0)
            received.append(buffer, got);
    } while (received.size() < count && !deadline.hasExpired());
    return received;
}

QByteArray PseudoTerminal::readFor(int waitMs)
{
    return read(INT_MAX, waitMs);
}

termios PseudoTerminal::settings() const
{
    termios settings{};
    ::tcgetattr(m_master, &settings); // on Linux the master reports the slave's settings
    return settings;
}

void PseudoTerminal::setSettings(const termios &settings)
{
    ::tcsetattr(m_slave, TCSANOW, &settings);
}

void PseudoTerminal::stall()
{
    ::tcflow(m_slave, TCOOFF);
}

void PseudoTerminal::resume()
{
    ::tcflow(m_slave, TCOON);
}

void PseudoTerminal::unplug()
{
    ::close(m_master);
    m_master = -1;
}
