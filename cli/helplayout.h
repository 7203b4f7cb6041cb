// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Help text laid out for a terminal of 80 columns.

// Each line of words wrapped on its own, the first one starting at column used, the lines after
// it starting with indent.
QString wrapped(const QString &words, qsizetype used, const QString &indent);

// One entry of the help: its name in a column of width, its help beside it.
QString helpLine(const QString &left, qsizetype width, const QString &help);
