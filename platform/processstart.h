// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What each program does first, before it opens anything (processstart_unix.cpp here):
// - standard input, output or error closed at start ("<&- >&-") are opened on /dev/null, so
//   that no file or port opened later lands on them and gets written to as output;
// - a reader gone from a pipe ("| head -1") or a file-size limit reached makes writes fail with
//   an error that the program says, instead of a signal that kills it half-way.
void prepareProcess();
