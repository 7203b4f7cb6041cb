// SPDX-License-Identifier: GPL-3.0-or-later
#include "pulseaudioout.h"

#include "notetone.h"

#include <pulse/simple.h>

namespace {

constexpr uint32_t kBytesPerMs = NoteTone::kSampleRate / 1000 * 2; // 16-bit mono
// The server asks for more once 100 ms have been heard, not every few milliseconds: what it
// granted before leaves the player's pieces room meanwhile.
constexpr uint32_t kRequestBytes = 100 * kBytesPerMs;
// The server keeps about half of what this exceeds two requests by in the sink: 10 ms, less than
// the player ever has queued, so the sink never runs ahead of what it was given.
constexpr uint32_t kQueueBytes = 2 * kRequestBytes + 20 * kBytesPerMs;
// Playing starts after 5 ms queued: a note starts at once, even after a pause.
constexpr uint32_t kStartBytes = 5 * kBytesPerMs;

} // namespace

std::unique_ptr<AudioOut> makeSystemAudioOut(const char *application)
{
    return std::make_unique<PulseAudioOut>(application);
}

PulseAudioOut::PulseAudioOut(const char *application)
    : m_application(application)
{
}

PulseAudioOut::~PulseAudioOut()
{
    close();
}

AudioProblem PulseAudioOut::open()
{
    const pa_sample_spec format{PA_SAMPLE_S16LE, NoteTone::kSampleRate, 1};
    const pa_buffer_attr buffer{uint32_t(-1), kQueueBytes, kStartBytes, kRequestBytes,
                                uint32_t(-1)};
    int error = 0;
    m_stream = pa_simple_new(nullptr, m_application, PA_STREAM_PLAYBACK, nullptr, "Mélodie",
                             &format, nullptr, &buffer, &error);
    return m_stream ? AudioProblem::None : AudioProblem::NoServer;
}

AudioProblem PulseAudioOut::write(const QByteArray &samples)
{
    int error = 0;
    if (!m_stream ||
        pa_simple_write(m_stream, samples.constData(), size_t(samples.size()), &error) < 0)
        return AudioProblem::ServerGone;
    return AudioProblem::None;
}

AudioProblem PulseAudioOut::drain()
{
    int error = 0;
    if (!m_stream || pa_simple_drain(m_stream, &error) < 0)
        return AudioProblem::ServerGone;
    return AudioProblem::None;
}

qint64 PulseAudioOut::pendingSamples()
{
    int error = 0;
    const pa_usec_t latency = m_stream ? pa_simple_get_latency(m_stream, &error) : 0;
    if (latency == pa_usec_t(-1))
        return 0;
    return qint64(latency * NoteTone::kSampleRate / 1000000);
}

void PulseAudioOut::close()
{
    if (!m_stream)
        return;
    pa_simple_free(m_stream);
    m_stream = nullptr;
}
