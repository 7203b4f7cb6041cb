// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "melodynote.h"

#include <optional>
#include <vector>

// What the window asks about a MIDI file that leaves a choice; shownName is the file's name
// already quoted. No answer (std::nullopt, false) means the user gave up: nothing is sent.
class MidiQuestions {
public:
    virtual ~MidiQuestions() = default;

    // The index in lines of the one to send.
    virtual std::optional<int> chooseLine(const QString &shownName,
                                          const std::vector<MelodyLine> &lines) = 0;
    // Whether to send notes 1 to lastNote of a line of lineNotes notes.
    virtual bool takeExcerpt(int lineNotes, int lastNote) = 0;
    // The tempo to give a line whose own tempo changes.
    virtual std::optional<int> chooseTempo(const QString &shownName) = 0;
};
