// SPDX-License-Identifier: GPL-3.0-or-later
#include "noteplayer.h"

namespace {

// Small pieces, so that a stop is heard within one of them plus the output's buffer.
constexpr int kPieceSamples = NoteTone::kSampleRate / 200; // 5 ms

} // namespace

NotePlayer::NotePlayer(std::unique_ptr<AudioOut> out, Tone tone, QObject *parent)
    : QObject(parent)
    , m_out(std::move(out))
    , m_tone(tone)
{
}

NotePlayer::~NotePlayer()
{
    stop();
}

void NotePlayer::start()
{
    if (!m_worker.joinable())
        m_worker = std::thread([this] { work(); });
}

void NotePlayer::play(quint8 noteCode, quint8 durationByte)
{
    {
        const std::lock_guard lock(m_mutex);
        m_queue.push_back({noteCode, durationByte, m_queuedCount++});
    }
    m_wake.notify_one();
}

void NotePlayer::finish()
{
    {
        const std::lock_guard lock(m_mutex);
        m_finishing = true;
    }
    m_wake.notify_one();
}

int NotePlayer::stop()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
        m_queue.clear();
    }
    m_wake.notify_one();
    if (m_worker.joinable())
        m_worker.join();
    return m_lastStarted;
}

void NotePlayer::fail(AudioProblem problem)
{
    m_out->close();
    emit failed(problem);
}

bool NotePlayer::next(Queued &note)
{
    std::unique_lock lock(m_mutex);
    m_wake.wait(lock, [this] { return m_stopping || m_finishing || !m_queue.empty(); });
    if (m_stopping || m_queue.empty())
        return false;
    note = m_queue.front();
    m_queue.pop_front();
    return true;
}

void NotePlayer::work()
{
    if (const AudioProblem problem = m_out->open(); problem != AudioProblem::None) {
        fail(problem);
        return;
    }
    Queued note{};
    while (next(note)) {
        if (!sound(note))
            return;
    }
    // Stopped between notes, or every note queued: what was written is still to be heard.
    if (const AudioProblem problem = m_out->drain(); problem != AudioProblem::None) {
        fail(problem);
        return;
    }
    m_out->close();
    if (!m_stopping)
        emit finished();
}

bool NotePlayer::sound(const Queued &note)
{
    const NoteTone tone(note.noteCode, note.durationByte, m_tone);
    m_lastStarted = note.index;
    emit noteStarted(note.index);
    for (int at = 0; at < tone.length(); at += kPieceSamples) {
        QByteArray piece;
        const bool stopping = m_stopping;
        if (stopping)
            tone.appendFadeOut(piece, at);
        else
            tone.append(piece, at, kPieceSamples);
        AudioProblem problem = m_out->write(piece);
        if (problem == AudioProblem::None && stopping)
            problem = m_out->drain();
        if (problem != AudioProblem::None) {
            fail(problem);
            return false;
        }
        if (stopping) {
            m_out->close();
            return false;
        }
    }
    return true;
}
