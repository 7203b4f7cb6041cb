// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzzes tinkora-send's file side: decoding, both readers and the checks, with the invariant
// that a refused file gives no frame at all and an accepted one gives only whole frames, to
// consecutive slots, of codes the tables give for the file's own texts.
//
// Input: one byte of switches (bit 0: RTTTL, bit 1: skip rests), one byte for the first slot,
// then the file's bytes.

#include "melodyfile.h"
#include "planchecks.h"
#include "rtttlreader.h"
#include "tablereader.h"

namespace {

void checkPlan(const MelodyReading &reading, const MelodyPlan &plan, int firstSlot, int lines)
{
    for (const MelodyProblem &problem : plan.problems())
        check(problem.line >= 1 && problem.line <= lines && problem.column >= 0 &&
                  !problem.text.isEmpty(),
              "a problem points into the file and says something");
    checkFrames(reading, plan, firstSlot);
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
