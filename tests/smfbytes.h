// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>

#include <algorithm>
#include <tuple>
#include <vector>

// Standard MIDI files built byte by byte, for the tests that read them.

inline QByteArray quantity(quint32 value)
{
    QByteArray out(1, char(value & 0x7F));
    while (value >>= 7)
        out.prepend(char(0x80 | (value & 0x7F)));
    return out;
}

inline QByteArray chunk(const char *type, const QByteArray &body)
{
    const quint32 n = quint32(body.size());
    return QByteArray(type) + char(n >> 24) + char(n >> 16) + char(n >> 8) + char(n) + body;
}

// A file from its tracks' events, written in hex ("00 90 3C 40"); the end of track is added.
inline QByteArray smf(int format, int ticks, const QList<QByteArray> &tracks)
{
    QByteArray file = chunk("MThd", QByteArray(1, 0) + char(format) + char(0) +
                                        char(tracks.size()) + char(ticks >> 8) + char(ticks));
    for (const QByteArray &events : tracks)
        file += chunk("MTrk", events + QByteArray::fromHex("00FF2F00"));
    return file;
}

struct N {
    int key;
    int start; // in ticks
    int length;
    int channel = 1;
};

// Note-ons and velocity-0 note-offs under running status, at 480 ticks a quarter.
inline QByteArray notes(std::vector<N> list)
{
    struct Event {
        qint64 tick;
        int order;
        int channel;
        int key;
        int velocity;
    };
    std::vector<Event> events;
    for (const N &n : list) {
        events.push_back({n.start, 1, n.channel, n.key, 64});
        events.push_back({n.start + n.length, 0, n.channel, n.key, 0});
    }
    std::stable_sort(events.begin(), events.end(), [](const Event &a, const Event &b) {
        return std::tie(a.tick, a.order) < std::tie(b.tick, b.order);
    });
    QByteArray out;
    qint64 now = 0;
    int status = -1;
    for (const Event &e : events) {
        out += quantity(quint32(e.tick - now));
        now = e.tick;
        if (0x90 + e.channel - 1 != status)
            out += char(status = 0x90 + e.channel - 1);
        out += char(e.key) + QByteArray(1, char(e.velocity));
    }
    return out;
}

inline QByteArray tempo(int delta, int perMinute)
{
    const int us = 60'000'000 / perMinute;
    return quantity(delta) + QByteArray::fromHex("FF5103") + char(us >> 16) + char(us >> 8) +
           char(us);
}
