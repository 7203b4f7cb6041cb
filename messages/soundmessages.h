// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// What the user reads when a melody cannot be heard, in French: what failed and what to do.

// Nothing answered when the sound was opened.
QString noSoundServerText();
// The server stopped while a melody was playing.
QString soundServerGoneText();
// The server no longer answers: the sound could not be stopped.
QString soundServerSilentText();
