// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "melodynote.h"

#include <QStringView>

// Reads a melody table: one note a line, "tempo;note;value" with the lists' own texts. The
// separator is ";", "," or a tab, taken from the first line that holds one. A first line of
// column titles ("Tempo;Notes;Durée"), blank lines and lines starting with "#" are skipped, and
// spaces around a field do not count. The texts are not checked here, only split.
class TableReader {
public:
    static MelodyReading read(QStringView text);
};
