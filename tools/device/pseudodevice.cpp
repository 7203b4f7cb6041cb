// SPDX-License-Identifier: GPL-3.0-or-later
#include "pseudodevice.h"

#include "devicesound.h"
#include "linecheck.h"
#include "systemerror.h"
#include "systemerrortext.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

PseudoDevice::PseudoDevice(QTextStream &out, Stop stop)
    : m_out(out)
    , m_stop(stop)
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
        error = systemErrorText(lastSystemError(), QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    m_path = QString::fromLocal8Bit(::ptsname(m_master));
    return true;
}

void PseudoDevice::run(int stopFd)
{
    // A powered board keeps listening whatever the writer does: a closed port may be opened
    // again (the window switching to COM2 and back), so only the stop request ends this.
    bool writerOpen = false; // bytes came since the last close
    for (;;) {
        pollfd fds[3] = {{m_master, POLLIN, 0},
                         {stopFd, POLLIN, 0},
                         {m_sound ? m_sound->newsDescriptor() : -1, POLLIN, 0}};
        if (::poll(fds, 3, -1) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        if ((fds[0].revents & POLLIN) && readAvailable(fds[0].revents & POLLHUP)) {
            writerOpen = true;
            continue; // drain everything before looking at a hang-up
        }
        if (fds[2].revents)
            m_sound->report();
        if (fds[1].revents) {
            readAvailable(false); // what the writer sent just before the stop request
            if (m_sound)
                m_sound->stop();
            return;
        }
        if (fds[0].revents & POLLHUP) {
            if (writerOpen) {
                writerOpen = false;
                m_lineChecked = false; // the next writer may set the line otherwise
                m_out << "Port refermé par l'émetteur ; la carte attend qu'il soit rouvert"
                      << (m_stop == Stop::ByUser ? " (Ctrl-C pour finir)." : ".") << Qt::endl;
            }
            // The master reports a hang-up for as long as no writer holds the port: look again
            // shortly, unless asked to stop.
            pollfd stop{stopFd, POLLIN, 0};
            ::poll(&stop, 1, 50);
        }
    }
}

bool PseudoDevice::readAvailable(bool writerGone)
{
    bool any = false;
    char buffer[4096];
    for (;;) {
        const ssize_t got = ::read(m_master, buffer, sizeof buffer);
        if (got <= 0)
            return any;
        any = true;
        receive(buffer, got, writerGone);
    }
}

void PseudoDevice::receive(const char *data, qsizetype size, bool writerGone)
{
    if (!m_lineChecked)
        checkLine(writerGone);
    for (const DeviceFrame &frame : m_decoder.feed(QByteArrayView(data, size))) {
        ++m_frames;
        m_image.store(frame);
        if (m_sound)
            m_sound->play(frame);
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
