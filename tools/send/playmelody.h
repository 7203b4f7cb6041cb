// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "melodyplan.h"
#include "notetone.h"

#include <QTextStream>

#include <vector>

class QCoreApplication;

enum class PlayOutcome { Played, NoSound, Interrupted };

// Sounds a checked melody on the system's sound server, each note's line printed as it starts to
// sound, then what was heard; Ctrl-C fades the sound out at once. Runs app's event loop.
PlayOutcome playMelody(QCoreApplication &app, const std::vector<PlannedFrame> &frames, Tone tone,
                       QTextStream &out, QTextStream &err);
