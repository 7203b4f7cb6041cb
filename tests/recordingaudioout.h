// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audioout.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>

// An AudioOut that keeps what it is given and hears it at once, or only as far as the test says.
// It can refuse to open, fail after some samples, or hold a write once some samples are in until
// a stop interrupts it.
class RecordingAudioOut : public AudioOut {
public:
    struct Log {
        QByteArray samples; // everything written, in order
        bool drained = false;
        bool closed = false;
    };

    AudioProblem openAnswer = AudioProblem::None;
    qsizetype failAfterBytes = -1;
    qsizetype holdAfterBytes = -1;
    // false: a held write waits for answerAgain(), as with a server that no longer answers.
    bool answersStops = true;

    AudioProblem open() override { return openAnswer; }
    AudioProblem write(const QByteArray &samples) override
    {
        std::unique_lock lock(m_mutex);
        if (failAfterBytes >= 0 && m_log.samples.size() >= failAfterBytes)
            return AudioProblem::ServerGone;
        m_log.samples += samples;
        if (holdAfterBytes >= 0 && m_log.samples.size() >= holdAfterBytes) {
            m_held = true;
            m_wake.wait(lock, [this] { return m_answered || (m_interrupted && answersStops); });
        }
        return AudioProblem::None;
    }
    AudioProblem drain() override
    {
        return update([](Log &log) { log.drained = true; });
    }
    qint64 pendingSamples() override
    {
        const std::lock_guard lock(m_mutex);
        return m_heard < 0 ? 0 : std::max<qint64>(0, m_log.samples.size() / 2 - m_heard);
    }
    void close() override
    {
        update([](Log &log) { log.closed = true; });
    }
    void interrupt() override
    {
        update([this](Log &) { m_interrupted = true; });
        m_wake.notify_all();
    }

    void answerAgain()
    {
        update([this](Log &) { m_answered = true; });
        m_wake.notify_all();
    }
    // From now on, only this many samples have been heard.
    void hearUpTo(qint64 samples)
    {
        const std::lock_guard lock(m_mutex);
        m_heard = samples;
    }
    Log log()
    {
        const std::lock_guard lock(m_mutex);
        return m_log;
    }
    bool held()
    {
        const std::lock_guard lock(m_mutex);
        return m_held;
    }

private:
    template<typename Change> AudioProblem update(Change change)
    {
        const std::lock_guard lock(m_mutex);
        change(m_log);
        return AudioProblem::None;
    }

    std::mutex m_mutex;
    std::condition_variable m_wake;
    Log m_log;
    bool m_held = false;
    bool m_interrupted = false;
    bool m_answered = false;
    qint64 m_heard = -1; // all
};
