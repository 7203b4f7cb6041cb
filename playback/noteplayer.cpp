// SPDX-License-Identifier: GPL-3.0-or-later
#include "noteplayer.h"

#include "soundthread.h"

#include <algorithm>
#include <chrono>

namespace {

// Written first: a stream's very first samples may be lost while the server fits it in, so let
// them be silence, not the start of the first note's fade.
constexpr int kLeadInSamples = NoteTone::kSampleRate / 100; // 10 ms

// How long the sound takes to play samples; at least a millisecond, so an output whose clock
// stands still is asked again now and then, not all the time.
std::chrono::microseconds playingTime(qint64 samples)
{
    return std::chrono::microseconds(
        std::max<qint64>(1000, samples * 1000000 / NoteTone::kSampleRate));
}

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
    if (m_worker.joinable())
        return;
    m_worker = std::thread([this] {
        work();
        {
            const std::lock_guard lock(m_mutex);
            m_ended = true;
        }
        m_endedWake.notify_all();
    });
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
    requestStop();
    if (m_worker.joinable())
        m_worker.join();
    return m_lastStarted;
}

void NotePlayer::requestStop()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
        m_queue.clear();
    }
    m_wake.notify_one();
    m_out->interrupt();
}

bool NotePlayer::waitStopped(std::chrono::milliseconds limit)
{
    if (!m_worker.joinable())
        return true;
    std::unique_lock lock(m_mutex);
    if (!m_endedWake.wait_for(lock, limit, [this] { return m_ended; }))
        return false;
    lock.unlock();
    m_worker.join();
    return true;
}

void NotePlayer::abandon()
{
    disconnect();
}

void NotePlayer::fail(AudioProblem problem)
{
    m_out->close();
    emit failed(problem);
}

void NotePlayer::work()
{
    raiseSoundThreadPriority();
    AudioProblem problem = m_out->open();
    if (problem == AudioProblem::None)
        problem = m_out->write(QByteArray(2 * kLeadInSamples, '\0'));
    if (problem != AudioProblem::None) {
        fail(problem);
        return;
    }
    m_writtenSamples = kLeadInSamples;
    std::unique_lock lock(m_mutex);
    for (;;) {
        lock.unlock();
        const qint64 heard = heardUpTo();
        announce(heard);
        lock.lock();
        // Right after a write the output would wait for the server to say where it is; what was
        // heard a moment before is as good for the next look.
        while (!m_stopping && m_writtenSamples - heard <= AudioOut::kRefillSamples) {
            const QByteArray piece = nextPiece();
            if (piece.isEmpty())
                break;
            lock.unlock();
            if (problem = m_out->write(piece); problem != AudioProblem::None) {
                fail(problem);
                return;
            }
            m_writtenSamples += piece.size() / 2;
            lock.lock();
        }
        if (m_stopping)
            break;
        const std::optional<qint64> look = nextLook(heard);
        if (!look && m_finishing)
            break;
        // A new note, a finish or a stop wakes the worker before its time.
        if (look)
            m_wake.wait_for(lock, playingTime(*look - heard));
        else
            m_wake.wait(lock);
    }
    lock.unlock();
    if (m_stopping) {
        fadeOutNow();
        return;
    }
    if (problem = m_out->drain(); problem != AudioProblem::None) {
        fail(problem);
        return;
    }
    m_out->close();
    emit finished();
}

QByteArray NotePlayer::nextPiece()
{
    QByteArray piece;
    qint64 end = m_writtenSamples;
    while (piece.size() < 2 * AudioOut::kPieceSamples) {
        if (m_written.empty() || end >= m_written.back().start + m_written.back().tone.length()) {
            if (m_queue.empty())
                break;
            const Queued note = m_queue.front();
            m_queue.pop_front();
            m_written.push_back(
                {NoteTone(note.noteCode, note.durationByte, m_tone), end, note.index});
            continue;
        }
        const Written &note = m_written.back();
        note.tone.append(piece, int(end - note.start),
                         AudioOut::kPieceSamples - int(piece.size() / 2));
        end = m_writtenSamples + piece.size() / 2;
    }
    return piece;
}

std::optional<qint64> NotePlayer::nextLook(qint64 heard) const
{
    std::optional<qint64> look;
    const bool moreToWrite =
        !m_queue.empty() ||
        (!m_written.empty() &&
         m_writtenSamples < m_written.back().start + m_written.back().tone.length());
    if (moreToWrite)
        look = m_writtenSamples - AudioOut::kRefillSamples;
    for (const Written &written : m_written) {
        if (written.announced)
            continue;
        look = std::min(look.value_or(written.start), written.start);
        break;
    }
    if (look)
        look = std::max(*look, heard);
    return look;
}

qint64 NotePlayer::heardUpTo()
{
    return std::max<qint64>(0, m_writtenSamples - m_out->pendingSamples());
}

void NotePlayer::announce(qint64 heard)
{
    for (Written &written : m_written) {
        if (written.announced || written.start > heard)
            continue;
        written.announced = true;
        m_lastStarted = written.index;
        emit noteStarted(written.index);
    }
    while (!m_written.empty() && m_written.front().announced &&
           m_written.front().start + m_written.front().tone.length() <= heard)
        m_written.pop_front();
}

void NotePlayer::fadeOutNow()
{
    // What was written is heard out, a few tens of milliseconds; the note it ends in fades from
    // there, so the wave has no jump, and nothing after it sounds.
    AudioProblem problem = AudioProblem::None;
    if (!m_written.empty()) {
        const Written &last = m_written.back();
        if (const qint64 at = m_writtenSamples - last.start; at < last.tone.length()) {
            QByteArray fade;
            last.tone.appendFadeOut(fade, int(at));
            problem = m_out->write(fade);
        }
    }
    if (problem == AudioProblem::None)
        problem = m_out->drain();
    if (problem != AudioProblem::None) {
        fail(problem);
        return;
    }
    // A note whose first samples were queued has begun to sound, if only for its fade.
    announce(m_writtenSamples);
    m_out->close();
}
