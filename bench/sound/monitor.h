// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

struct pa_simple;

// Records the sound server's null sink monitor in 1 ms pieces on a thread of its own, with the
// time each piece arrived, so that a sample's time is known to about a millisecond.
class Monitor {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr int kRate = 44100;

    Monitor();
    ~Monitor();
    bool isValid() const { return m_stream != nullptr; }

    std::size_t size();
    // The first sample from index from on whose level passes threshold, waiting for it until
    // the deadline; its index and the time it was heard.
    std::optional<std::pair<std::size_t, Clock::time_point>>
    firstLoud(std::size_t from, int threshold, Clock::time_point deadline);
    // Waits until count samples are in.
    void waitFor(std::size_t count);
    std::vector<short> samples(std::size_t from);

private:
    void record();

    pa_simple *m_stream = nullptr;
    std::mutex m_mutex;
    std::condition_variable m_grown;
    std::vector<short> m_samples;
    std::vector<Clock::time_point> m_arrivals; // one per piece, when its last sample came
    bool m_stopping = false;
    std::thread m_reader;
};
