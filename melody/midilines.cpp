// SPDX-License-Identifier: GPL-3.0-or-later
#include "midilines.h"

#include "notetable.h"
#include "showntext.h"

#include <QStringList>

#include <algorithm>
#include <functional>
#include <iterator>
#include <map>
#include <queue>

namespace {

constexpr int kOctave = 12;
constexpr int kLowestKey = 48; // "Do2"

using Notes = std::vector<const MidiFile::Note *>;

// The notes of each pair, in the order they start.
std::map<std::pair<int, int>, Notes> notesByLine(const MidiFile &file)
{
    std::map<std::pair<int, int>, Notes> lines;
    for (const MidiFile::Note &note : file.notes) {
        if (note.channel != MidiLines::kDrums)
            lines[{note.track, note.channel}].push_back(&note);
    }
    return lines;
}

bool together(qint64 first, qint64 other, int ticksPerQuarter)
{
    return (other - first) * 32 <= ticksPerQuarter;
}

std::vector<MidiLines::Voice> voices(const Notes &notes, int ticksPerQuarter)
{
    std::vector<MidiLines::Voice> result;
    for (std::size_t i = 0; i < notes.size();) {
        const MidiFile::Note *highest = notes[i];
        std::size_t j = i + 1;
        for (; j < notes.size() && together(notes[i]->onset, notes[j]->onset, ticksPerQuarter);
             ++j) {
            if (notes[j]->key > highest->key)
                highest = notes[j];
        }
        result.push_back({notes[i]->onset, std::max(highest->end, notes[i]->onset), highest->key});
        i = j;
    }
    return result;
}

int mostAtOnce(const Notes &notes)
{
    // The ends of the notes still sounding; a note of no length still sounds for an instant.
    std::priority_queue<qint64, std::vector<qint64>, std::greater<>> ends;
    std::size_t most = 0;
    for (const MidiFile::Note *note : notes) {
        while (!ends.empty() && ends.top() <= note->onset)
            ends.pop();
        ends.push(std::max(note->end, note->onset + 1));
        most = std::max(most, ends.size());
    }
    return int(most);
}

QString lineList(const std::vector<MelodyLine> &lines)
{
    QString list;
    for (const MelodyLine &line : lines)
        list += QStringLiteral("\n  ") + line.describe();
    return list;
}

QString chosenText(const MelodyChoices &choices)
{
    QStringList parts;
    if (choices.track)
        parts << QStringLiteral("piste %1").arg(*choices.track);
    if (choices.channel)
        parts << QStringLiteral("canal %1").arg(*choices.channel);
    return QStringLiteral("en ") + parts.join(QStringLiteral(", "));
}

void refuse(MelodyReading &reading, const QString &text)
{
    reading.problems.push_back({0, 0, text, {}});
}

} // namespace

QString MelodyLine::describe() const
{
    const QString named = name.isEmpty() ? QString() : u' ' + quotedUserText(name);
    return QStringLiteral("piste %1, canal %2%3 : %4 de %5 à %6, %7")
        .arg(QString::number(track), QString::number(channel), named,
             notes == 1 ? QStringLiteral("1 note") : QStringLiteral("%1 notes").arg(notes), lowest,
             highest,
             mostAtOnce == 1 ? QStringLiteral("une à la fois")
                             : QStringLiteral("jusqu'à %1 à la fois").arg(mostAtOnce));
}

std::vector<MelodyLine> MidiLines::candidates(const MidiFile &file)
{
    std::vector<MelodyLine> lines;
    for (const auto &[pair, notes] : notesByLine(file)) {
        const std::vector<Voice> line = voices(notes, file.ticksPerQuarter);
        const auto [low, high] = std::minmax_element(
            line.begin(), line.end(), [](const Voice &a, const Voice &b) { return a.key < b.key; });
        lines.push_back({pair.first, pair.second, file.trackNames[pair.first - 1], int(line.size()),
                         noteName(low->key), noteName(high->key), ::mostAtOnce(notes)});
    }
    return lines;
}

std::optional<MelodyLine> MidiLines::choose(const MidiFile &file, const MelodyChoices &choices,
                                            MelodyReading &reading)
{
    const std::vector<MelodyLine> all = candidates(file);
    std::vector<MelodyLine> chosen;
    std::copy_if(all.begin(), all.end(), std::back_inserter(chosen), [&](const MelodyLine &line) {
        return (!choices.track || line.track == *choices.track) &&
               (!choices.channel || line.channel == *choices.channel);
    });
    if (all.empty()) {
        refuse(reading, QStringLiteral("Aucune note dans le fichier MIDI, hors percussions "
                                       "(canal %1) : il n'y a pas de mélodie à envoyer.")
                            .arg(kDrums));
    } else if (chosen.empty()) {
        reading.lines = all;
        refuse(reading, QStringLiteral("Aucune ligne mélodique %1 : choisissez l'une de "
                                       "celles-ci avec --track et --channel.%2")
                            .arg(chosenText(choices), lineList(all)));
    } else if (chosen.size() > 1) {
        reading.lines = chosen;
        refuse(reading,
               QStringLiteral("%1 lignes mélodiques dans le fichier%2 : choisissez-en "
                              "une avec --track et --channel.%3")
                   .arg(QString::number(chosen.size()),
                        choices.track || choices.channel ? u' ' + chosenText(choices) : QString(),
                        lineList(chosen)));
    } else {
        return chosen.front();
    }
    return std::nullopt;
}

std::vector<MidiLines::Voice> MidiLines::voicesOf(const MidiFile &file, int track, int channel)
{
    Notes notes;
    for (const MidiFile::Note &note : file.notes) {
        if (note.track == track && note.channel == channel)
            notes.push_back(&note);
    }
    return voices(notes, file.ticksPerQuarter);
}

QString MidiLines::noteName(int key)
{
    const int fromLowest = key - kLowestKey;
    if (fromLowest >= 0 && fromLowest < int(NoteTable.size()))
        return NoteTable[fromLowest].name.toString();
    const int octave = (fromLowest >= 0 ? fromLowest / kOctave : -((-fromLowest + 11) / kOctave));
    const QStringView syllable = NoteTable[fromLowest - octave * kOctave].name;
    return syllable.chopped(1).toString() + QString::number(octave + 2);
}
