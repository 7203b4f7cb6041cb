// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzzes the MIDI side of tinkora-send: the file reader, the choice of line and the plan, with
// the invariant that a refused file gives no frame at all and an accepted one gives only whole
// frames, to consecutive slots, of the codes the tables give.
//
// Input: one byte of switches (bit 0: skip rests, bit 1: a track, bit 2: a channel, bit 3: a
// tempo, bit 4: an excerpt), one byte for the first slot, one each for the track, the channel,
// the tempo and the excerpt's two ends, then the file after its "MThd", which is put back.

#include "melodysource.h"
#include "planchecks.h"

namespace {

constexpr size_t kSettings = 7;

MelodyChoices choicesFrom(const quint8 *data)
{
    MelodyChoices choices;
    choices.skipRests = data[0] & 1;
    if (data[0] & 2)
        choices.track = 1 + data[2] % 8;
    if (data[0] & 4)
        choices.channel = 1 + data[3] % 16;
    if (data[0] & 8)
        choices.tempo = 1 + data[4];
    if (data[0] & 16) {
        const int first = 1 + data[5] % 64;
        choices.notes = std::pair(first, first + data[6] % 40);
    }
    return choices;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const quint8 *data, size_t size)
{
    if (size < kSettings)
        return 0;
    const MelodyChoices choices = choicesFrom(data);
    const int firstSlot = 1 + data[1] % TransferState::MaxNotes;
    const QByteArray bytes = "MThd" + QByteArray(reinterpret_cast<const char *>(data + kSettings),
                                                 qsizetype(size - kSettings));

    const MelodyLoad load = MelodySource::fromBytes(bytes, QStringLiteral("fuzz.mid"), choices);
    if (!load.ok()) {
        check(load.reading.notes.empty(), "an unreadable file gives no note");
        return 0;
    }
    const MelodyReading &reading = load.reading;
    for (const MelodyNote &note : reading.notes)
        check(NoteCodeFor(note.note.text) && DurationDividendFor(note.value.text),
              "a MIDI line reads as the lists' own texts");
    check(reading.lines.empty() || !reading.problems.empty(), "lines are listed to be chosen");

    const MelodyPlan plan = MelodyPlan::make(reading, firstSlot);
    for (const MelodyProblem &problem : plan.problems())
        check(!problem.text.isEmpty(), "a problem says something");
    checkFrames(reading, plan, firstSlot);
    return 0;
}
