// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audioout.h"

struct pa_simple;

// AudioOut on libpulse-simple: blocking calls, room granted in large steps so that the player's
// short writes rarely wait, little kept in the sink, and a start as soon as samples arrive.
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
    void close() override;
    // The player writes only once the server has granted room for it, so a write waits a few
    // milliseconds at most: nothing worth cutting short.
    void interrupt() override {}

private:
    const char *m_application;
    pa_simple *m_stream = nullptr;
};
