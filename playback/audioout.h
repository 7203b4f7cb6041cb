// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "notetone.h"

#include <QByteArray>

#include <memory>

// Why sound could not be played.
enum class AudioProblem {
    None,
    NoServer,   // nothing answered when the stream was opened
    ServerGone, // the server went away while playing
};

// A sound output for 16-bit mono samples at 44.1 kHz (NoteTone's). Every call may block for as
// long as the sound takes, so only a worker thread of its own makes them (NotePlayer's).
class AudioOut {
public:
    // How the player paces its writes, so an output sizes its buffer for them: a piece at a time,
    // once no more than kRefillSamples are waiting to be heard. So at most 35 ms are queued, and
    // a stop is heard within that and a fade: nothing queued is ever dropped, which would leave
    // the server a moment with nothing to play and a click. Between writes, the player waits
    // where a stop wakes it.
    static constexpr int kPieceSamples = NoteTone::kSampleRate / 50;       // 20 ms
    static constexpr int kRefillSamples = NoteTone::kSampleRate * 3 / 200; // 15 ms

    virtual ~AudioOut() = default;

    virtual AudioProblem open() = 0;
    // Queues samples; may wait while the output's buffer is full.
    virtual AudioProblem write(const QByteArray &samples) = 0;
    // Waits until everything queued has been heard.
    virtual AudioProblem drain() = 0;
    // How many samples written have not been heard yet.
    virtual qint64 pendingSamples() = 0;
    // Drops whatever has not been heard yet and releases the output.
    virtual void close() = 0;
    // From another thread, when a stop is asked: a write waiting for room may return early.
    virtual void interrupt() = 0;
};

// The system's sound server (PulseAudio, or PipeWire through pipewire-pulse); application
// names the stream in the server's mixer.
std::unique_ptr<AudioOut> makeSystemAudioOut(const char *application);
