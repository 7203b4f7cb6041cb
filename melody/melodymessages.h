// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "melodynote.h"

#include <QString>

#include <vector>

// What the window says about a melody file; shownName is the file's name already quoted.

// "ligne 3, colonne 5", or "ligne 3" for a problem with the whole line, as tinkora-send says it.
QString problemPlaceText(const MelodyProblem &problem);
// A file that could not be read at all.
QString unreadableMelodyText(const QString &shownName, const QString &problem);
// A file read but refused: its problems with their places, kMaxListedProblems at most.
QString refusedMelodyText(const QString &shownName, const std::vector<MelodyProblem> &problems);
inline constexpr int kMaxListedProblems = 10;
// The question before sending count notes from firstSlot on.
QString sendMelodyQuestion(const QString &shownName, int count, int firstSlot);
// "Note 5 sur 22"
QString sendProgressText(int note, int total);
// A MIDI file with count lines that could be the melody, to choose one from.
QString chooseMidiLineText(const QString &shownName, int count);
// "La ligne choisie a 44 notes ; envoyer les notes 1 à 31 ?"
QString sendExcerptQuestion(int lineNotes, int lastNote);
// A MIDI line whose tempo changes: the window asks for the one to keep.
QString midiTempoQuestion(const QString &shownName);
// Nothing can be sent before a port is open.
QString melodyNeedsAPortText();
