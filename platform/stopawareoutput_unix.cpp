// SPDX-License-Identifier: GPL-3.0-or-later
#include "stopawareoutput.h"

#include <cerrno>
#include <poll.h>
#include <unistd.h>

namespace {

// A pipe with room for one more buffer takes this much without blocking.
constexpr qint64 kChunk = PIPE_BUF;

} // namespace

StopAwareOutput::StopAwareOutput(int fd, int stopFd)
    : m_fd(fd)
    , m_stopFd(stopFd)
{
    open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

qint64 StopAwareOutput::writeData(const char *data, qint64 size)
{
    qint64 done = 0;
    while (done < size && !m_lost) {
        pollfd fds[2] = {{m_fd, POLLOUT, 0}, {m_stopFd, POLLIN, 0}};
        if (::poll(fds, m_stopFd >= 0 ? 2 : 1, -1) < 0) {
            if (errno == EINTR)
                continue;
            m_lost = true;
            break;
        }
        if (!(fds[0].revents & POLLOUT)) {
            // Asked to stop while the reader takes nothing, or the reader is gone: drop it.
            if ((fds[1].revents & POLLIN) || (fds[0].revents & (POLLERR | POLLHUP | POLLNVAL)))
                m_lost = true;
            continue;
        }
        const ssize_t written = ::write(m_fd, data + done, size_t(std::min(kChunk, size - done)));
        if (written < 0 && errno != EINTR && errno != EAGAIN)
            m_lost = true; // EPIPE: nobody reads any more
        else if (written > 0)
            done += written;
    }
    return size; // what is lost is lost on purpose: the program goes on
}
