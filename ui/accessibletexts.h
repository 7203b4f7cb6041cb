// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QWidget;

// Gives each control of the window, found by its name, what a screen reader says of it: its
// visible label as its name, which voice control users say, and in the description what it is
// for and what it does. The lists give their text as value
// (see installAccessibleFactory); the ports' descriptions name their device (PortTooltips).
void setAccessibleTexts(QWidget &window);
