// SPDX-License-Identifier: GPL-3.0-or-later
#include "monitor.h"

#include <pulse/simple.h>

#include <cstdlib>

namespace {

constexpr std::size_t kPiece = Monitor::kRate / 1000; // samples

} // namespace

Monitor::Monitor()
{
    const pa_sample_spec format{PA_SAMPLE_S16LE, kRate, 1};
    const pa_buffer_attr buffer{uint32_t(-1), uint32_t(-1), uint32_t(-1), uint32_t(-1),
                                uint32_t(kPiece * 2)};
    m_stream = pa_simple_new(nullptr, "soundbench", PA_STREAM_RECORD, "null.monitor", "monitor",
                             &format, nullptr, &buffer, nullptr);
    if (m_stream)
        m_reader = std::thread([this] { record(); });
}

Monitor::~Monitor()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    if (m_reader.joinable())
        m_reader.join();
    if (m_stream)
        pa_simple_free(m_stream);
}

void Monitor::record()
{
    for (;;) {
        short piece[kPiece];
        if (pa_simple_read(m_stream, piece, sizeof piece, nullptr) < 0)
            return;
        const Clock::time_point now = Clock::now();
        const std::lock_guard lock(m_mutex);
        if (m_stopping)
            return;
        m_samples.insert(m_samples.end(), piece, piece + kPiece);
        m_arrivals.push_back(now);
        m_grown.notify_all();
    }
}

std::size_t Monitor::size()
{
    const std::lock_guard lock(m_mutex);
    return m_samples.size();
}

std::optional<std::pair<std::size_t, Monitor::Clock::time_point>>
Monitor::firstLoud(std::size_t from, int threshold, Clock::time_point deadline)
{
    std::unique_lock lock(m_mutex);
    for (std::size_t i = from;; ++i) {
        while (i >= m_samples.size()) {
            if (m_grown.wait_until(lock, deadline) == std::cv_status::timeout)
                return std::nullopt;
        }
        if (std::abs(m_samples[i]) < threshold)
            continue;
        // The piece's last sample arrived then; this one was heard that much earlier.
        const std::size_t piece = i / kPiece;
        const auto earlier = std::chrono::microseconds((kPiece - 1 - i % kPiece) * 1000000 / kRate);
        return std::pair{i, m_arrivals[piece] - earlier};
    }
}

void Monitor::waitFor(std::size_t count)
{
    std::unique_lock lock(m_mutex);
    m_grown.wait(lock, [&] { return m_samples.size() >= count; });
}

std::vector<short> Monitor::samples(std::size_t from)
{
    const std::lock_guard lock(m_mutex);
    return {m_samples.begin() + std::ptrdiff_t(std::min(from, m_samples.size())), m_samples.end()};
}
