// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

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
    virtual ~AudioOut() = default;

    virtual AudioProblem open() = 0;
    // Queues samples; waits while the output's small buffer is full.
    virtual AudioProblem write(const QByteArray &samples) = 0;
    // Waits until everything queued has been heard.
    virtual AudioProblem drain() = 0;
    // How many samples written have not been heard yet.
    virtual qint64 pendingSamples() = 0;
    // Stops at once: what has not been heard yet is dropped, and samples written next follow
    // what was heard last (the player writes a fade there, so no click is heard).
    virtual AudioProblem discard() = 0;
    // Drops whatever has not been heard yet and releases the output.
    virtual void close() = 0;
    // From another thread, when a stop is asked: a write waiting for room may return early.
    virtual void interrupt() = 0;
};

// The system's sound server (PulseAudio, or PipeWire through pipewire-pulse); application
// names the stream in the server's mixer.
std::unique_ptr<AudioOut> makeSystemAudioOut(const char *application);
