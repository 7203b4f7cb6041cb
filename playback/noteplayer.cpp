// SPDX-License-Identifier: GPL-3.0-or-later
#include "noteplayer.h"

#include "soundthread.h"

#include <algorithm>

namespace {

// The worker wakes once a piece: a stop waits at most this long, and a note's line is printed
// within this of its first sample being heard.
constexpr int kPieceSamples = NoteTone::kSampleRate / 100; // 10 ms

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
    m_out->interrupt();
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
    raiseSoundThreadPriority();
    AudioProblem problem = m_out->open();
    // A stream's very first samples may be lost while the server fits it in: let them be
    // silence, not the start of the first note's fade.
    if (problem == AudioProblem::None)
        problem = m_out->write(QByteArray(2 * kPieceSamples, '\0'));
    if (problem != AudioProblem::None) {
        fail(problem);
        return;
    }
    m_writtenSamples = kPieceSamples;
    Queued note{};
    while (next(note)) {
        if (!sound(note))
            return;
    }
    if (m_stopping) {
        fadeOutNow();
        return;
    }
    announce(m_writtenSamples);
    if (problem = m_out->drain(); problem != AudioProblem::None) {
        fail(problem);
        return;
    }
    m_out->close();
    emit finished();
}

bool NotePlayer::sound(const Queued &note)
{
    m_written.push_back(
        {NoteTone(note.noteCode, note.durationByte, m_tone), m_writtenSamples, note.index});
    const NoteTone &tone = m_written.back().tone;
    for (int at = 0; at < tone.length(); at += kPieceSamples) {
        if (m_stopping) {
            fadeOutNow();
            return false;
        }
        QByteArray piece;
        tone.append(piece, at, kPieceSamples);
        if (const AudioProblem problem = m_out->write(piece); problem != AudioProblem::None) {
            fail(problem);
            return false;
        }
        m_writtenSamples += piece.size() / 2;
        // Asking the output costs a wake-up of its own: only while a note waits to be announced.
        if (!m_written.back().announced)
            announce(heardUpTo());
    }
    return true;
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
    announce(heardUpTo());
    // What the output has taken in already is still heard after the discard: the fade goes on
    // from there, so the wave has no jump.
    const qint64 heard = heardUpTo();
    AudioProblem problem = m_out->discard();
    const qint64 resumeAt = std::min(m_writtenSamples, heard + m_out->pendingSamples());
    for (const Written &written : m_written) {
        if (problem != AudioProblem::None)
            break;
        if (resumeAt < written.start || resumeAt >= written.start + written.tone.length())
            continue;
        QByteArray fade;
        written.tone.appendFadeOut(fade, int(resumeAt - written.start));
        problem = m_out->write(fade);
        break;
    }
    if (problem == AudioProblem::None)
        problem = m_out->drain();
    if (problem != AudioProblem::None) {
        fail(problem);
        return;
    }
    m_out->close();
}
