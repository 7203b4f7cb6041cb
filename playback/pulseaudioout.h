// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audioout.h"

struct pa_simple;

// AudioOut on libpulse-simple: blocking calls, a buffer long enough for a busy machine to keep it
// filled, and a start as soon as the first samples arrive.
class PulseAudioOut : public AudioOut {
public:
    explicit PulseAudioOut(const char *application);
    ~PulseAudioOut() override;
    PulseAudioOut(const PulseAudioOut &) = delete;
    PulseAudioOut &operator=(const PulseAudioOut &) = delete;

    AudioProblem open() override;
    AudioProblem write(const QByteArray &samples) override;
    AudioProblem drain() override;
    qint64 pendingSamples() override;
    AudioProblem discard() override;
    void close() override;
    // A write waits for one piece at most: nothing to cut short.
    void interrupt() override {}

private:
    const char *m_application;
    pa_simple *m_stream = nullptr;
};
