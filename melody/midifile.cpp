// SPDX-License-Identifier: GPL-3.0-or-later
#include "midifile.h"

#include <algorithm>
#include <deque>
#include <map>
#include <optional>

namespace {

constexpr int kKeys = 128;
constexpr quint8 kMeta = 0xFF;
constexpr quint8 kSysex = 0xF0;
constexpr quint8 kSysexContinued = 0xF7;
constexpr quint8 kEndOfTrack = 0x2F;
constexpr quint8 kTrackName = 0x03;
constexpr quint8 kTempo = 0x51;
constexpr quint8 kTimeSignature = 0x58;

QString truncatedAt(qsizetype offset)
{
    return QStringLiteral("Fichier MIDI tronqué : il s'arrête à l'octet %1 au milieu d'un "
                          "bloc. Procurez-vous le fichier complet.")
        .arg(offset);
}

QString garbledAt(qsizetype offset, const QString &what)
{
    return QStringLiteral("Fichier MIDI abîmé à l'octet %1 : %2. Enregistrez-le de nouveau "
                          "depuis votre logiciel de musique.")
        .arg(QString::number(offset), what);
}

// Reads bytes up to a limit; the first fault is kept with its offset and stops all reading.
class Cursor {
public:
    Cursor(QByteArrayView bytes, qsizetype at, qsizetype end)
        : m_bytes(bytes)
        , m_at(at)
        , m_end(end)
    {
    }

    qsizetype at() const { return m_at; }
    bool atEnd() const { return m_at >= m_end; }
    bool failed() const { return !m_problem.isEmpty(); }
    const QString &problem() const { return m_problem; }

    void fail(qsizetype offset, const QString &what)
    {
        if (!failed())
            m_problem = garbledAt(offset, what);
    }

    std::optional<quint8> byte()
    {
        if (failed())
            return std::nullopt;
        if (m_at >= m_end) {
            // Past the chunk's end within the file is a wrong length; past the file, a cut.
            m_problem = m_end >= m_bytes.size()
                            ? truncatedAt(m_bytes.size())
                            : garbledAt(m_end, QStringLiteral("un événement dépasse la fin de "
                                                              "sa piste"));
            return std::nullopt;
        }
        return quint8(m_bytes[m_at++]);
    }

    std::optional<quint32> bigEndian(int count)
    {
        quint32 value = 0;
        for (int i = 0; i < count; ++i) {
            const std::optional<quint8> next = byte();
            if (!next)
                return std::nullopt;
            value = value << 8 | *next;
        }
        return value;
    }

    // A variable-length quantity: 7 bits a byte, at most 4 bytes.
    std::optional<quint32> quantity()
    {
        const qsizetype start = m_at;
        quint32 value = 0;
        for (int i = 0; i < 4; ++i) {
            const std::optional<quint8> next = byte();
            if (!next)
                return std::nullopt;
            value = value << 7 | (*next & 0x7F);
            if (!(*next & 0x80))
                return value;
        }
        fail(start, QStringLiteral("nombre de plus de 4 octets"));
        return std::nullopt;
    }

    QByteArrayView take(quint32 count)
    {
        if (failed())
            return {};
        if (qsizetype(count) > m_end - m_at) {
            m_at = m_end;
            (void)byte(); // says why
            return {};
        }
        const QByteArrayView data = m_bytes.sliced(m_at, count);
        m_at += count;
        return data;
    }

private:
    QByteArrayView m_bytes;
    qsizetype m_at;
    qsizetype m_end;
    QString m_problem;
};

class TrackReader {
public:
    TrackReader(MidiFile &file, int track, Cursor &cursor)
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
    Cursor &m_cursor;
    qint64 m_tick = 0;
    quint8 m_running = 0;
    std::map<int, std::deque<std::size_t>> m_held; // notes sounding, by channel and key
};

} // namespace

MidiFile MidiFile::parse(QByteArrayView bytes)
{
    MidiFile file;
    Cursor header(bytes, 4, std::min<qsizetype>(bytes.size(), 8));
    const std::optional<quint32> headerLength = header.bigEndian(4);
    Cursor fields(bytes, 8, std::min<qsizetype>(bytes.size(), 14));
    const std::optional<quint32> format = fields.bigEndian(2);
    const std::optional<quint32> tracks = fields.bigEndian(2);
    const std::optional<quint32> division = fields.bigEndian(2);
    if (!isMidi(bytes) || header.failed() || fields.failed()) {
        file.problem = isMidi(bytes) ? truncatedAt(bytes.size())
                                     : garbledAt(0, QStringLiteral("pas d'en-tête « MThd »"));
        return file;
    }
    if (*headerLength < 6) {
        file.problem = garbledAt(4, QStringLiteral("en-tête trop court"));
    } else if (*format == 2) {
        file.problem = QStringLiteral("Fichier MIDI de format 2 (octet 8) : ses pistes sont des "
                                      "morceaux à part. Enregistrez-le en format 1 depuis votre "
                                      "logiciel de musique.");
    } else if (*format > 2 || (*format == 0 && *tracks != 1)) {
        file.problem =
            garbledAt(8, QStringLiteral("format %1 avec %2 pistes").arg(*format).arg(*tracks));
    } else if (*division & 0x8000) {
        file.problem = QStringLiteral("Fichier MIDI en temps SMPTE (octet 12) : seuls les temps "
                                      "comptés en ticks par noire sont lus. Enregistrez-le de "
                                      "nouveau depuis votre logiciel de musique.");
    } else if (*division == 0) {
        file.problem = garbledAt(12, QStringLiteral("0 tick par noire"));
    }
    if (!file.ok())
        return file;
    file.ticksPerQuarter = int(*division);

    qsizetype at = 8 + qsizetype(*headerLength);
    while (int(file.trackNames.size()) < int(*tracks) && file.ok()) {
        Cursor chunk(bytes, at, bytes.size());
        const QByteArrayView type = chunk.take(4);
        const std::optional<quint32> length = chunk.bigEndian(4);
        if (chunk.failed() || at >= bytes.size()) {
            file.problem = truncatedAt(bytes.size());
            break;
        }
        const qsizetype body = chunk.at();
        const qsizetype end = body + std::min<qsizetype>(*length, bytes.size() - body);
        if (type == "MTrk") {
            file.trackNames.emplace_back();
            Cursor events(bytes, body, end);
            TrackReader(file, int(file.trackNames.size()), events).run();
            file.problem = events.problem();
        }
        if (file.ok() && qsizetype(*length) > bytes.size() - body)
            file.problem = truncatedAt(bytes.size());
        at = end;
    }
    const auto byTick = [](const auto &a, const auto &b) {
        return a.tick < b.tick;
    };
    std::stable_sort(file.tempos.begin(), file.tempos.end(), byTick);
    std::stable_sort(file.meters.begin(), file.meters.end(), byTick);
    return file;
}
