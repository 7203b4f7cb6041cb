// SPDX-License-Identifier: GPL-3.0-or-later
#include "midireader.h"

#include "durationtable.h"
#include "midilines.h"
#include "midiplaces.h"
#include "notetable.h"
#include "octavefit.h"

#include <QLocale>

#include <algorithm>
#include <array>
#include <cmath>
#include <set>

namespace {

constexpr int kLowestKey = 48; // "Do2", code 1
constexpr int kDefaultTempo = 120;
constexpr int kOctave = 12;
// The nine note values in eighths of a quarter, in the duration table's order.
constexpr std::array<int, 9> kEighths{32, 24, 16, 12, 8, 6, 4, 3, 2};
static_assert(kEighths.size() == DurationTable.size());

QString noteCount(int count)
{
    return count == 1 ? QStringLiteral("1 note") : QStringLiteral("%1 notes").arg(count);
}

QString lineList(const std::vector<MelodyLine> &lines)
{
    QString list;
    for (const MelodyLine &line : lines)
        list += QStringLiteral("\n  ") + line.describe();
    return list;
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
        if (!chooseLine())
            return m_reading;
        m_voices = MidiLines::voicesOf(m_file, m_line.track, m_line.channel);
        if (!chooseNotes())
            return m_reading;
        const MidiPlaces places(m_file, m_line.track);
        m_places = &places;
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

    bool chooseLine()
    {
        const std::vector<MelodyLine> all = MidiLines::candidates(m_file);
        std::vector<MelodyLine> chosen;
        std::copy_if(all.begin(), all.end(), std::back_inserter(chosen),
                     [&](const MelodyLine &line) {
                         return (!m_choices.track || line.track == *m_choices.track) &&
                                (!m_choices.channel || line.channel == *m_choices.channel);
                     });
        if (all.empty()) {
            fileProblem(QStringLiteral("Aucune note dans le fichier MIDI, hors percussions "
                                       "(canal %1) : il n'y a pas de mélodie à envoyer.")
                            .arg(MidiLines::kDrums));
        } else if (chosen.empty()) {
            m_reading.lines = all;
            fileProblem(QStringLiteral("Aucune ligne mélodique %1 : choisissez l'une de "
                                       "celles-ci avec --track et --channel.%2")
                            .arg(chosenText(), lineList(all)));
        } else if (chosen.size() > 1) {
            m_reading.lines = chosen;
            fileProblem(
                QStringLiteral("%1 lignes mélodiques dans le fichier%2 : choisissez-en "
                               "une avec --track et --channel.%3")
                    .arg(QString::number(chosen.size()),
                         m_choices.track || m_choices.channel ? u' ' + chosenText() : QString(),
                         lineList(chosen)));
        } else {
            m_line = chosen.front();
            return true;
        }
        return false;
    }

    QString chosenText() const
    {
        QStringList parts;
        if (m_choices.track)
            parts << QStringLiteral("piste %1").arg(*m_choices.track);
        if (m_choices.channel)
            parts << QStringLiteral("canal %1").arg(*m_choices.channel);
        return QStringLiteral("en ") + parts.join(QStringLiteral(", "));
    }

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
             QStringLiteral("Le tempo change le long de la ligne choisie (de %1 à %2 par minute) : "
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
        for (std::size_t i = 0; i < kEighths.size(); ++i) {
            if (4 * std::abs(8 * ticks - kEighths[i] * qint64(m_tpq)) <= m_tpq)
                return int(i);
        }
        problem(index, m_voices[index].onset,
                QStringLiteral("Durée de %1 impossible : seules les neuf valeurs de la ronde à la "
                               "double croche se transfèrent (ni triolet, ni triple croche, ni "
                               "plus d'une ronde). Choisissez une autre ligne ou un autre extrait.")
                    .arg(quarters(ticks)));
        return -1;
    }

    // A note that nothing follows takes the shortest value that holds it, so long as it sounds
    // for more than half of that value, as a note followed by another does.
    int heldValue(int index, qint64 ticks)
    {
        for (std::size_t i = kEighths.size(); i-- > 0;) {
            const qint64 value = kEighths[i] * qint64(m_tpq);
            if (32 * ticks <= 4 * value + m_tpq)
                return 16 * ticks >= value ? int(i) : exactValue(index, ticks);
        }
        return exactValue(index, ticks);
    }

    // "0,333 noire", "2 noires"
    QString quarters(qint64 ticks) const
    {
        const double count = double(ticks) / m_tpq;
        return QStringLiteral("%1 noire%2")
            .arg(QLocale(QLocale::French).toString(count, 'g', 3),
                 count >= 2 ? QStringLiteral("s") : QString());
    }

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
    const MidiPlaces *m_places = nullptr;
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
