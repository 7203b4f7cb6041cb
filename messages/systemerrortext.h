// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "systemerror.h"

#include <QString>

// The system's answers that opening or writing to a port can meet, in French whatever the
// locale.

// Empty for None and Other.
QString systemErrorText(SystemError error);

// The same, falling back to the system's own words (as Qt or strerror gave them) for an answer
// that has no French text here.
QString systemErrorText(SystemError error, const QString &systemWords);
