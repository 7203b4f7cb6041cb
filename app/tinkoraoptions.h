// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "options.h"

// tinkora's command line: one table entry per option besides help and version, and Qt's own
// options left for QApplication, which the window needs.
Options tinkoraCommandLine();
