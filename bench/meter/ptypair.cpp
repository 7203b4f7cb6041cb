// SPDX-License-Identifier: GPL-3.0-or-later
#include "ptypair.h"

#include <algorithm>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <unistd.h>

namespace {

int millisecondsUntil(Clock::time_point deadline)
{
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
    return int(std::max<long>(0, left.count()));
}

} // namespace

PtyPair::PtyPair()
{
    char name[256] = {};
    if (::openpty(&m_master, &m_slave, name, nullptr, nullptr) != 0) {
        m_master = m_slave = -1;
        return;
    }
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
    ::fcntl(m_master, F_SETFD, FD_CLOEXEC);
    ::fcntl(m_slave, F_SETFD, FD_CLOEXEC);
    m_slavePath = name;
}

PtyPair::~PtyPair()
{
    if (m_master >= 0)
        ::close(m_master);
    if (m_slave >= 0)
        ::close(m_slave);
}

std::optional<Clock::time_point> PtyPair::waitReadable(Clock::time_point deadline) const
{
    for (;;) {
        pollfd entry{m_master, POLLIN, 0};
        const int ready = ::poll(&entry, 1, millisecondsUntil(deadline));
        if (ready > 0 && (entry.revents & POLLIN))
            return Clock::now();
        if (Clock::now() >= deadline)
            return std::nullopt;
    }
}

std::string PtyPair::read(std::size_t count, Clock::time_point deadline) const
{
    std::string received;
    while (received.size() < count && waitReadable(deadline)) {
        char buffer[256];
        const ssize_t got = ::read(m_master, buffer, sizeof buffer);
        if (got > 0)
            received.append(buffer, std::size_t(got));
    }
    return received;
}

void PtyPair::drain() const
{
    char buffer[256];
    while (::read(m_master, buffer, sizeof buffer) > 0) {
    }
}
