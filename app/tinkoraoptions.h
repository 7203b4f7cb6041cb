// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "options.h"

// The options of tinkora besides help and version: one entry each.
QList<OptionSpec> tinkoraOptions();

QString tinkoraDescription();
