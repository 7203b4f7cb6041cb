// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audioout.h"
#include "notetone.h"

#include <QObject>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

// Sounds notes one after the other on an AudioOut, on a worker thread of its own: queueing never
// waits for the sound, and a note queued while another sounds waits its turn. Signals come from
// the worker thread (queued to a receiver in another thread, or direct when the receiver only
// wakes its own loop).
class NotePlayer : public QObject {
    Q_OBJECT
public:
    NotePlayer(std::unique_ptr<AudioOut> out, Tone tone, QObject *parent = nullptr);
    ~NotePlayer() override; // stops as stop() does

    // Opens the output on the worker thread; failed(NoServer) if it cannot.
    void start();
    // Queued notes are numbered from 0 in the order given.
    void play(quint8 noteCode, quint8 durationByte);
    // Once every note queued has been heard: finished().
    void finish();
    // At once: what the output holds (35 ms at most) is heard out, then the note sounding fades
    // out in 5 ms; the others are dropped. Returns once the fade has been heard and the output
    // released. Returns the index of the last note that began to sound, or -1.
    int stop();
    // A stop is heard out within 50 ms; one that takes this long waits for a server that no longer
    // answers.
    static constexpr std::chrono::milliseconds kStopLimit{1000};

    // The same stop, asked without waiting for it.
    void requestStop();
    // Whether the worker has ended, waiting up to limit for it. A sound server that stopped
    // answering holds it in a call only the server can end: then this stays false, and a player
    // that cannot end must be left to it, never destroyed (see abandon()).
    bool waitStopped(std::chrono::milliseconds limit);
    // Gives up on a player whose worker is held: no signal reaches anyone any more. The owner
    // then lets go of it (made with new, never deleted), so that its worker finds it alive.
    void abandon();
    // The index of the last note that began to sound, or -1.
    int lastStarted() const { return m_lastStarted; }

signals:
    void noteStarted(int index);
    void finished();
    void failed(AudioProblem problem);

private:
    struct Queued {
        quint8 noteCode;
        quint8 durationByte;
        int index;
    };
    // A note written to the output, maybe not all of it yet, maybe not all heard yet.
    struct Written {
        NoteTone tone;
        qint64 start; // in samples since the output opened
        int index;
        bool announced = false;
    };

    void work();
    // The next samples to write, up to a piece, taken from the note being written and the queue;
    // empty when there is nothing left to write. Called with m_mutex held.
    QByteArray nextPiece();
    // When the worker should look again, in samples heard, or none when only a new note, a
    // finish or a stop can give it something to do. Called with m_mutex held.
    std::optional<qint64> nextLook(qint64 heard) const;
    qint64 heardUpTo();
    // noteStarted() for the notes whose first sample has been heard.
    void announce(qint64 heard);
    void fadeOutNow();
    void fail(AudioProblem problem);

    std::unique_ptr<AudioOut> m_out;
    const Tone m_tone;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<Queued> m_queue;
    int m_queuedCount = 0;
    bool m_finishing = false;
    bool m_ended = false; // the worker returned
    std::condition_variable m_endedWake;
    std::atomic<bool> m_stopping = false;
    std::atomic<int> m_lastStarted = -1;
    // The worker's own.
    std::deque<Written> m_written;
    qint64 m_writtenSamples = 0;
    std::thread m_worker;
};
