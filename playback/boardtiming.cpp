// SPDX-License-Identifier: GPL-3.0-or-later
#include "boardtiming.h"

#include "durationtable.h"

int durationUnits(quint8 durationByte)
{
    // The board reads the byte back with the table the program folds with.
    return foldedQuotient(durationByte).value_or(durationByte);
}
