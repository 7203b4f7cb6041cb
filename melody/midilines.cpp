// SPDX-License-Identifier: GPL-3.0-or-later
#include "midilines.h"

#include "notetable.h"
#include "showntext.h"

#include <algorithm>
#include <functional>
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
