// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "deviceframe.h"
#include "noteplayer.h"

#include <QTextStream>

#include <atomic>
#include <memory>

// The stand-in's buzzer: each frame's note sounds once the frame is whole, after those still
// sounding. Without a sound server it says so once and the board goes on without sound. One
// implementation per platform (devicesound_unix.cpp here).
class DeviceSound {
public:
    DeviceSound(Tone tone, QTextStream &err);
    ~DeviceSound();
    DeviceSound(const DeviceSound &) = delete;
    DeviceSound &operator=(const DeviceSound &) = delete;

    void start();
    void play(const DeviceFrame &frame);
    // Readable when the sound has something to say: then report().
    int newsDescriptor() const { return m_news[0]; }
    void report();
    // At once, with a short fade; waits NotePlayer::kStopLimit at most for a server that no
    // longer answers, which the destructor then says.
    void stop();

private:
    std::unique_ptr<NotePlayer> m_player;
    QTextStream &m_err;
    int m_news[2] = {-1, -1};
    std::atomic<AudioProblem> m_problem = AudioProblem::None;
    bool m_said = false;
    bool m_stopAsked = false;
    bool m_stopped = false;
};
