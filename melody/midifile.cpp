// SPDX-License-Identifier: GPL-3.0-or-later
#include "midifile.h"

#include "midibytes.h"

#include <algorithm>
#include <deque>
#include <map>

namespace {

constexpr int kKeys = 128;
constexpr quint8 kMeta = 0xFF;
constexpr quint8 kSysex = 0xF0;
constexpr quint8 kSysexContinued = 0xF7;
constexpr quint8 kEndOfTrack = 0x2F;
constexpr quint8 kTrackName = 0x03;
constexpr quint8 kTempo = 0x51;
constexpr quint8 kTimeSignature = 0x58;

class TrackReader {
public:
    TrackReader(MidiFile &file, int track, MidiBytes &cursor)
        : m_file(file)
        , m_track(track)
        , m_cursor(cursor)
    {
    }

    void run()
    {
        while (!m_cursor.atEnd() && !m_cursor.failed()) {
            const std::optional<quint32> delta = m_cursor.quantity();
            if (!delta)
                return;
            m_tick += *delta;
            if (!event())
                break;
        }
        // Notes still held when the track ends stop there.
        for (const auto &[slot, held] : m_held) {
            for (std::size_t index : held)
                m_file.notes[index].end = m_tick;
        }
    }

private:
    // False once the track has ended.
    bool event()
    {
        const qsizetype start = m_cursor.at();
        const std::optional<quint8> first = m_cursor.byte();
        if (!first)
            return false;
        if (*first == kMeta)
            return meta();
        if (*first == kSysex || *first == kSysexContinued) {
            m_running = 0; // sysex and meta events end running status
            if (const std::optional<quint32> length = m_cursor.quantity())
                m_cursor.take(*length);
            return true;
        }
        if (*first >= 0xF0) {
            m_cursor.fail(start, QStringLiteral("octet d'état 0x%1 inconnu dans une piste")
                                     .arg(QString::number(*first, 16).toUpper()));
            return false;
        }
        std::optional<quint8> data1;
        if (*first & 0x80) {
            m_running = *first;
            data1 = m_cursor.byte();
        } else if (m_running == 0) {
            m_cursor.fail(start, QStringLiteral("donnée sans octet d'état qui la précède"));
            return false;
        } else {
            data1 = *first;
        }
        const int kind = m_running >> 4;
        const bool twoBytes = kind != 0xC && kind != 0xD;
        const std::optional<quint8> data2 = twoBytes ? m_cursor.byte() : std::optional<quint8>(0);
        if (!data1 || !data2)
            return false;
        if (*data1 >= 0x80 || *data2 >= 0x80) {
            m_cursor.fail(m_cursor.at() - 1, QStringLiteral("octet de donnée attendu"));
            return false;
        }
        note(kind, (m_running & 0x0F) * kKeys + *data1, *data2);
        return true;
    }

    void note(int kind, int slot, int velocity)
    {
        // Notes are kept in the order they start; the end comes with the note-off.
        if (kind == 0x9 && velocity > 0) {
            m_held[slot].push_back(m_file.notes.size());
            m_file.notes.push_back({m_track, slot / kKeys + 1, slot % kKeys, m_tick, m_tick});
        } else if (kind == 0x8 || kind == 0x9) {
            // Of the same key held twice, the first struck is the first released.
            const auto held = m_held.find(slot);
            if (held == m_held.end() || held->second.empty())
                return;
            m_file.notes[held->second.front()].end = m_tick;
            held->second.pop_front();
        }
    }

    bool meta()
    {
        const std::optional<quint8> type = m_cursor.byte();
        const qsizetype start = m_cursor.at();
        const std::optional<quint32> length = type ? m_cursor.quantity() : std::nullopt;
        const QByteArrayView data = length ? m_cursor.take(*length) : QByteArrayView();
        if (m_cursor.failed())
            return false;
        m_running = 0;
        switch (*type) {
        case kEndOfTrack:
            return false;
        case kTrackName:
            if (m_file.trackNames[m_track - 1].isEmpty())
                m_file.trackNames[m_track - 1] = QString::fromLatin1(data).trimmed();
            break;
        case kTempo: {
            const quint32 value =
                data.size() == 3 ? quint8(data[0]) << 16 | quint8(data[1]) << 8 | quint8(data[2])
                                 : 0;
            if (value == 0) {
                m_cursor.fail(start, QStringLiteral("tempo illisible"));
                return false;
            }
            m_file.tempos.push_back({m_tick, int(value)});
            break;
        }
        case kTimeSignature:
            if (data.size() >= 2 && data[0] > 0 && quint8(data[1]) <= 6)
                m_file.meters.push_back({m_tick, quint8(data[0]), quint8(data[1])});
            break;
        default:
            break;
        }
        return true;
    }

    MidiFile &m_file;
    int m_track;
    MidiBytes &m_cursor;
    qint64 m_tick = 0;
    quint8 m_running = 0;
    std::map<int, std::deque<std::size_t>> m_held; // notes sounding, by channel and key
};

} // namespace

MidiFile MidiFile::parse(QByteArrayView bytes)
{
    MidiFile file;
    MidiBytes header(bytes, 4, std::min<qsizetype>(bytes.size(), 8));
    const std::optional<quint32> headerLength = header.bigEndian(4);
    MidiBytes fields(bytes, 8, std::min<qsizetype>(bytes.size(), 14));
    const std::optional<quint32> format = fields.bigEndian(2);
    const std::optional<quint32> tracks = fields.bigEndian(2);
    const std::optional<quint32> division = fields.bigEndian(2);
    if (!isMidi(bytes) || header.failed() || fields.failed()) {
        file.problem = isMidi(bytes)
                           ? MidiBytes::truncatedAt(bytes.size())
                           : MidiBytes::garbledAt(0, QStringLiteral("pas d'en-tête « MThd »"));
        return file;
    }
    if (*headerLength < 6) {
        file.problem = MidiBytes::garbledAt(4, QStringLiteral("en-tête trop court"));
    } else if (*format == 2) {
        file.problem = QStringLiteral("Fichier MIDI de format 2 (octet 8) : ses pistes sont des "
                                      "morceaux à part. Enregistrez-le en format 1 depuis votre "
                                      "logiciel de musique.");
    } else if (*format > 2 || (*format == 0 && *tracks != 1)) {
        file.problem = MidiBytes::garbledAt(
            8, QStringLiteral("format %1 avec %2 pistes").arg(*format).arg(*tracks));
    } else if (*division & 0x8000) {
        file.problem = QStringLiteral("Fichier MIDI en temps SMPTE (octet 12) : seuls les temps "
                                      "comptés en ticks par noire sont lus. Enregistrez-le de "
                                      "nouveau depuis votre logiciel de musique.");
    } else if (*division == 0) {
        file.problem = MidiBytes::garbledAt(12, QStringLiteral("0 tick par noire"));
    }
    if (!file.ok())
        return file;
    file.ticksPerQuarter = int(*division);

    qsizetype at = 8 + qsizetype(*headerLength);
    while (int(file.trackNames.size()) < int(*tracks) && file.ok()) {
        MidiBytes chunk(bytes, at, bytes.size());
        const QByteArrayView type = chunk.take(4);
        const std::optional<quint32> length = chunk.bigEndian(4);
        if (chunk.failed() || at >= bytes.size()) {
            file.problem = MidiBytes::truncatedAt(bytes.size());
            break;
        }
        const qsizetype body = chunk.at();
        const qsizetype end = body + std::min<qsizetype>(*length, bytes.size() - body);
        if (type == "MTrk") {
            file.trackNames.emplace_back();
            MidiBytes events(bytes, body, end);
            TrackReader(file, int(file.trackNames.size()), events).run();
            file.problem = events.problem();
        }
        if (file.ok() && qsizetype(*length) > bytes.size() - body)
            file.problem = MidiBytes::truncatedAt(bytes.size());
        at = end;
    }
    const auto byTick = [](const auto &a, const auto &b) {
        return a.tick < b.tick;
    };
    std::stable_sort(file.tempos.begin(), file.tempos.end(), byTick);
    std::stable_sort(file.meters.begin(), file.meters.end(), byTick);
    return file;
}
