#include "pseudodevice.h"

#include "linecheck.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

PseudoDevice::PseudoDevice(QTextStream &out)
    : m_out(out)
{
}

PseudoDevice::~PseudoDevice()
{
    if (m_master >= 0)
        ::close(m_master);
}

bool PseudoDevice::open(QString &error)
{
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (m_master < 0 || ::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0) {
        error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    m_path = QString::fromLocal8Bit(::ptsname(m_master));
    return true;
}

void PseudoDevice::run(int stopFd)
{
    // The master reports a hang-up only once the writer has had the port open and closed it.
    bool writerSeen = false;
    for (;;) {
        pollfd fds[2] = {{m_master, POLLIN, 0}, {stopFd, POLLIN, 0}};
        if (::poll(fds, 2, 200) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        if (fds[1].revents)
            return;
        if (fds[0].revents & POLLIN) {
            char buffer[4096];
            const ssize_t got = ::read(m_master, buffer, sizeof buffer);
            if (got > 0) {
                writerSeen = true;
                receive(buffer, got, fds[0].revents & POLLHUP);
                continue; // drain everything before looking at a hang-up
            }
        }
        if (fds[0].revents & POLLHUP) {
            if (writerSeen)
                return;
            // Opened and closed without a byte, or not opened yet: keep waiting.
            ::usleep(50 * 1000);
        }
    }
}

void PseudoDevice::receive(const char *data, qsizetype size, bool writerGone)
{
    if (!m_lineChecked)
        checkLine(writerGone);
    for (const DeviceFrame &frame : m_decoder.feed(QByteArrayView(data, size))) {
        ++m_frames;
        m_image.store(frame);
        m_out << frame.describe() << Qt::endl;
    }
}

void PseudoDevice::checkLine(bool writerGone)
{
    m_lineChecked = true;
    if (writerGone) {
        // Closing the port put the old settings back: what the writer used is lost.
        m_out << "Ligne : réglages non vérifiés, le port était déjà refermé." << Qt::endl;
        return;
    }
    termios settings{};
    if (::tcgetattr(m_master, &settings) != 0)
        return;
    const QStringList problems = lineProblems(settings);
    if (problems.isEmpty())
        m_out << "Ligne : 2400 bauds, 8N1, mode brut." << Qt::endl;
    else
        m_out << "Ligne mal réglée : " << problems.join(QStringLiteral(", "))
              << " ; une vraie carte recevrait n'importe quoi." << Qt::endl;
}
