// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "melodysource.h"

#include <optional>

class MidiQuestions;

// A melody file read the way the window reads it: where a MIDI file leaves a choice that
// tinkora-send takes from its options (the line, an excerpt, the tempo), the user is asked,
// and the file is read again with the answer. Other files are read as they are.
class MidiAnswers {
public:
    // std::nullopt: the user gave up at a question. shownName is the file's name already quoted.
    static std::optional<MelodyLoad> load(const QString &path, const QString &shownName,
                                          int firstSlot, MidiQuestions &questions);
};
