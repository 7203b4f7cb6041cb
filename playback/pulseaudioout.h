// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audioout.h"

struct pa_simple;

// AudioOut on libpulse-simple: blocking calls, a buffer of about 20 ms so that a stop is heard
// at once and a note starts soon after it is queued.
class PulseAudioOut : public AudioOut {
public:
    explicit PulseAudioOut(const char *application);
    ~PulseAudioOut() override;
    PulseAudioOut(const PulseAudioOut &) = delete;
    PulseAudioOut &operator=(const PulseAudioOut &) = delete;

    AudioProblem open() override;
    AudioProblem write(const QByteArray &samples) override;
    AudioProblem drain() override;
    void close() override;

private:
    const char *m_application;
    pa_simple *m_stream = nullptr;
};
