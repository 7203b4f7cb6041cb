// SPDX-License-Identifier: GPL-3.0-or-later
#include "midireader.h"

#include "durationtable.h"
#include "midilines.h"
#include "midiplaces.h"
#include "midivalues.h"
#include "notetable.h"
#include "octavefit.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <set>

namespace {

constexpr int kLowestKey = 48; // "Do2", code 1
constexpr int kDefaultTempo = 120;
constexpr int kOctave = 12;

QString noteCount(int count)
{
    return count == 1 ? QStringLiteral("1 note") : QStringLiteral("%1 notes").arg(count);
}

int perMinute(int microsecondsPerQuarter)
{
    return int(std::lround(60'000'000.0 / microsecondsPerQuarter));
}

class Reader {
public:
    Reader(const MidiFile &file, const MelodyChoices &choices)
        : m_file(file)
        , m_choices(choices)
        , m_tpq(file.ticksPerQuarter)
    {
    }

    MelodyReading run()
    {
        const std::optional<MelodyLine> line = MidiLines::choose(m_file, m_choices, m_reading);
        if (!line)
            return m_reading;
        m_line = *line;
        m_voices = MidiLines::voicesOf(m_file, m_line.track, m_line.channel);
        m_reading.lineNotes = int(m_voices.size());
        if (!chooseNotes())
            return m_reading;
        m_places.emplace(m_file, m_line.track);
        const QString tempo = tempoText();
        std::vector<int> values;
        for (int i = m_first; i <= m_last; ++i)
            values.push_back(valueOf(i));
        fitAndWrite(tempo, values);
        return m_reading;
    }

private:
    void problem(int index, qint64 tick, const QString &text)
    {
        m_reading.problems.push_back({1, index + 1, text, m_places->at(tick)});
    }

    void fileProblem(const QString &text) { m_reading.problems.push_back({0, 0, text, {}}); }

    bool chooseNotes()
    {
        const int count = int(m_voices.size());
        m_first = 0;
        m_last = count - 1;
        m_reading.excerptable = !m_choices.notes;
        if (!m_choices.notes)
            return true;
        const auto [first, last] = *m_choices.notes;
        if (last > count) {
            fileProblem(QStringLiteral("La ligne choisie n'a que %1 : --notes %2-%3 va au-delà ; "
                                       "donnez une fin de %4 au plus.")
                            .arg(noteCount(count), QString::number(first), QString::number(last),
                                 QString::number(count)));
            return false;
        }
        m_first = first - 1;
        m_last = last - 1;
        return true;
    }

    // The tempo in effect from the first note taken to the end of the last.
    QString tempoText()
    {
        if (m_choices.tempo)
            return QString::number(*m_choices.tempo);
        const qint64 from = m_voices[m_first].onset;
        const qint64 to = std::max(m_voices[m_last].end, from + 1);
        std::set<int> tempos;
        int current = kDefaultTempo;
        for (const MidiFile::Tempo &tempo : m_file.tempos) {
            if (tempo.tick > from && tempo.tick < to)
                tempos.insert(current);
            if (tempo.tick >= to)
                break;
            current = perMinute(tempo.microsecondsPerQuarter);
        }
        tempos.insert(current);
        if (tempos.size() == 1)
            return QString::number(current);
        m_reading.tempoNeeded = true;
        m_reading.problems.push_back(
            {1, 0,
             QStringLiteral("Le tempo change le long des notes prises (de %1 à %2 par minute) : "
                            "indiquez celui à garder avec --tempo.")
                 .arg(QString::number(*tempos.begin()), QString::number(*tempos.rbegin())),
             m_places->at(from)});
        return {};
    }

    // The note value of one note as a duration table index, or -1 once said why not.
    int valueOf(int index)
    {
        const MidiLines::Voice &voice = m_voices[index];
        const qint64 length = voice.end - voice.onset;
        if (index + 1 >= int(m_voices.size()))
            return heldValue(index, length);
        const qint64 interval = m_voices[index + 1].onset - voice.onset;
        const qint64 silence = m_voices[index + 1].onset - voice.end;
        if (2 * silence <= interval)
            return exactValue(index, interval);
        // Past the last note taken, a rest is no part of the excerpt.
        if (index == m_last)
            return heldValue(index, length);
        if (m_choices.skipRests) {
            ++m_restsSkipped;
            return exactValue(index, length);
        }
        problem(index, voice.end,
                QStringLiteral("Silence de %1 après la note %2 : la carte ne joue que des notes. "
                               "Retirez-le, ou relancez avec --skip-rests.")
                    .arg(quarters(silence), QString::number(index + 1)));
        return -1;
    }

    int exactValue(int index, qint64 ticks)
    {
        if (const std::optional<int> value = MidiValues::exact(ticks, m_tpq))
            return *value;
        return refusedLength(index, ticks);
    }

    int heldValue(int index, qint64 ticks)
    {
        if (const std::optional<int> value = MidiValues::holding(ticks, m_tpq))
            return *value;
        return refusedLength(index, ticks);
    }

    int refusedLength(int index, qint64 ticks)
    {
        problem(index, m_voices[index].onset,
                QStringLiteral("Durée de %1 impossible : seules les neuf valeurs de la ronde à la "
                               "double croche se transfèrent (ni triolet, ni triple croche, ni "
                               "plus d'une ronde). Choisissez une autre ligne ou un autre extrait.")
                    .arg(quarters(ticks)));
        return -1;
    }

    QString quarters(qint64 ticks) const { return MidiValues::quarters(ticks, m_tpq); }

    void fitAndWrite(const QString &tempo, const std::vector<int> &values)
    {
        const auto [low, high] = std::minmax_element(
            m_voices.begin() + m_first, m_voices.begin() + m_last + 1,
            [](const MidiLines::Voice &a, const MidiLines::Voice &b) { return a.key < b.key; });
        const std::optional<int> shift =
            OctaveFit::shiftFor(low->key - kLowestKey + 1, high->key - kLowestKey + 1);
        if (!shift) {
            problem(m_first, m_voices[m_first].onset,
                    QStringLiteral("La ligne va de %1 à %2 : déplacée d'octaves entières, elle ne "
                                   "tient pas dans les %3 notes de %4 à %5. Choisissez un extrait "
                                   "plus court avec --notes.")
                        .arg(MidiLines::noteName(low->key), MidiLines::noteName(high->key),
                             QString::number(NoteTable.size()), NoteTable.front().name.toString(),
                             NoteTable.back().name.toString()));
            return;
        }
        if (tempo.isEmpty())
            return;
        if (*shift != 0)
            m_reading.remarks << OctaveFit::remark(*shift);
        if (m_restsSkipped > 0)
            m_reading.remarks << (m_restsSkipped == 1
                                      ? QStringLiteral("1 silence ignoré (--skip-rests) : les "
                                                       "notes suivantes sont avancées d'autant.")
                                      : QStringLiteral("%1 silences ignorés (--skip-rests) : les "
                                                       "notes suivantes sont avancées d'autant.")
                                            .arg(m_restsSkipped));
        const QString tempoPlace =
            m_choices.tempo ? QStringLiteral("--tempo") : QStringLiteral("tempo du fichier");
        for (int i = m_first; i <= m_last; ++i) {
            const int value = values[i - m_first];
            if (value < 0)
                continue;
            const QString place = m_places->at(m_voices[i].onset);
            const int code = m_voices[i].key - kLowestKey + 1 + kOctave * *shift;
            m_reading.notes.push_back({1,
                                       {tempo, 0, tempoPlace},
                                       {NoteTable[code - 1].name.toString(), i + 1, place},
                                       {DurationTable[value].name.toString(), i + 1, place}});
        }
    }

    const MidiFile &m_file;
    const MelodyChoices &m_choices;
    const int m_tpq;
    MelodyLine m_line;
    std::vector<MidiLines::Voice> m_voices;
    std::optional<MidiPlaces> m_places;
    int m_first = 0;
    int m_last = 0;
    int m_restsSkipped = 0;
    MelodyReading m_reading;
};

} // namespace

MelodyReading MidiReader::read(const MidiFile &file, const MelodyChoices &choices)
{
    return Reader(file, choices).run();
}
