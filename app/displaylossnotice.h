// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// From the time the window is up: when the display goes away, Qt says so in English, then ends
// the program with exit(1). Its line is replaced with a French one; every other message passes.
void noticeDisplayLoss();
