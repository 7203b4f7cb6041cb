// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>

class QWidget;

// WCAG's contrast ratio of two colours, from 1 (the same) to 21 (black on white).
double contrastRatio(const QColor &a, const QColor &b);

// Adjusts window's palette where the desktop style's colours make a text hard to read: selected
// text on its highlight (Fusion's and Adwaita's blues give white text about 3.6:1) is darkened
// or lightened to 7:1; and buttons, which never show selected text, get their own text
// colour for it (Adwaita draws a focused button's caption in it, white on light grey).
void ensureTextContrast(QWidget *window);
