// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzzes tinkora-send's file side: decoding, both readers and the checks, with the invariant
// that a refused file gives no frame at all and an accepted one gives only whole frames, to
// consecutive slots, of codes the tables give for the file's own texts.
//
// Input: one byte of switches (bit 0: RTTTL, bit 1: skip rests), one byte for the first slot,
// then the file's bytes.

#include "durationtable.h"
#include "melodyfile.h"
#include "melodyplan.h"
#include "notetable.h"
#include "rtttlreader.h"
#include "tablereader.h"
#include "transferstate.h"

#include <cstdio>
#include <cstdlib>

namespace {

void check(bool holds, const char *rule)
{
    if (!holds) {
        std::fprintf(stderr, "invariant broken: %s\n", rule);
        std::abort();
    }
}

bool isNoteName(const QString &text, quint8 code)
{
    return code >= 1 && code <= NoteTable.size() && NoteTable[code - 1].name == text;
}

void checkPlan(const MelodyReading &reading, const MelodyPlan &plan, int firstSlot, int lines)
{
    for (const MelodyProblem &problem : plan.problems())
        check(problem.line >= 1 && problem.line <= lines && problem.column >= 0 &&
                  !problem.text.isEmpty(),
              "a problem points into the file and says something");
    if (!plan.ok()) {
        check(plan.frames().empty(), "a refused file gives no frame");
        return;
    }
    const std::vector<PlannedFrame> &frames = plan.frames();
    check(!frames.empty(), "an accepted file has notes");
    check(frames.size() == reading.notes.size(), "every note of an accepted file is sent");
    check(int(frames.size()) <= TransferState::MaxNotes - firstSlot + 1, "no slot beyond 31");

    QByteArray wire;
    for (const PlannedFrame &planned : frames)
        wire += planned.frame.toBytes();
    check(wire.size() == 3 * qsizetype(frames.size()), "only whole frames");
    for (std::size_t i = 0; i < frames.size(); ++i) {
        const MelodyNote &note = reading.notes[i];
        const int slot = firstSlot + int(i);
        check(quint8(wire[3 * i]) == 2 * (slot - 1), "consecutive slots from the first one");
        check(isNoteName(note.note.text, quint8(wire[3 * i + 1])), "the table's note code");
        const std::optional<qint32> dividend = DurationDividendFor(note.value.text);
        check(dividend.has_value(), "a listed note value");
        const DurationResult duration = ComputeDurationCode(*dividend, note.tempo.text);
        check(duration.ok() && quint8(wire[3 * i + 2]) == duration.value,
              "the duration rule's byte");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const quint8 *data, size_t size)
{
    if (size < 2)
        return 0;
    const bool rtttl = data[0] & 1;
    const bool skipRests = data[0] & 2;
    const int firstSlot = 1 + data[1] % TransferState::MaxNotes;
    const QByteArray bytes(reinterpret_cast<const char *>(data + 2), qsizetype(size - 2));

    const MelodyFile::Text text = MelodyFile::decode(bytes);
    if (!text.ok())
        return 0; // refused before any reading: nothing to send
    const MelodyReading reading =
        rtttl ? RtttlReader::read(text.text, skipRests) : TableReader::read(text.text);
    if (rtttl) {
        for (const MelodyNote &note : reading.notes)
            check(NoteCodeFor(note.note.text) && DurationDividendFor(note.value.text),
                  "a ring tone reads as the lists' own texts");
    }
    const MelodyPlan plan = MelodyPlan::make(reading, firstSlot);
    checkPlan(reading, plan, firstSlot, int(text.text.count(u'\n')) + 1);
    return 0;
}
