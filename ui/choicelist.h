// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "transferview.h"

#include <QString>

class QComboBox;
class QWidget;

// One of the window's three lists, disabled until a port is open: editable, its text exactly
// what the user chose or typed, and choice's start text selected whenever the user comes into
// the list while it still shows it.
QComboBox *makeList(const QString &name, ChoiceList choice, QWidget *parent);
