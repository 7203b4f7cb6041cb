// SPDX-License-Identifier: GPL-3.0-or-later
#include "devicesound.h"

#include "soundmessages.h"

#include <fcntl.h>
#include <unistd.h>

DeviceSound::DeviceSound(Tone tone, QTextStream &err)
    : m_player(std::make_unique<NotePlayer>(makeSystemAudioOut("tinkora-device"), tone))
    , m_err(err)
{
    if (::pipe2(m_news, O_CLOEXEC | O_NONBLOCK) != 0)
        m_news[0] = m_news[1] = -1;
    // Direct: the player's thread only leaves word for the board's loop.
    QObject::connect(m_player.get(), &NotePlayer::failed, [this](AudioProblem problem) {
        m_problem = problem;
        const char byte = 0;
        [[maybe_unused]] const ssize_t ignored = ::write(m_news[1], &byte, 1);
    });
}

DeviceSound::~DeviceSound()
{
    m_player->requestStop();
    if (!m_stopped && !m_player->waitStopped(m_stopAsked ? std::chrono::milliseconds(0)
                                                         : NotePlayer::kStopLimit)) {
        m_err << "tinkora-device : " << soundServerSilentText() << Qt::endl;
        // Its worker waits for the server: left to it until the program ends.
        m_player->abandon();
        (void)m_player.release();
    }
    for (int end : m_news) {
        if (end >= 0)
            ::close(end);
    }
}

void DeviceSound::start()
{
    m_player->start();
}

void DeviceSound::play(const DeviceFrame &frame)
{
    if (m_problem == AudioProblem::None)
        m_player->play(frame.noteCode, frame.durationByte);
}

void DeviceSound::report()
{
    char bytes[16];
    while (::read(m_news[0], bytes, sizeof bytes) > 0) {
    }
    const AudioProblem problem = m_problem;
    if (problem == AudioProblem::None || m_said)
        return;
    m_said = true;
    m_err << "tinkora-device : "
          << (problem == AudioProblem::NoServer ? noSoundServerText() : soundServerGoneText())
          << " La carte simulée continue sans son." << Qt::endl;
}

void DeviceSound::stop()
{
    m_player->requestStop();
    m_stopAsked = true;
    // Heard out before the melody is printed, unless the server no longer answers: then the
    // board goes on all the same, and the destructor says so.
    m_stopped = m_player->waitStopped(NotePlayer::kStopLimit);
}
