// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QFont;
class QWidget;

// How much larger than its layout the window is drawn for the desktop's font. Twips are logical
// inches, and on the desktop the layout comes from a larger font setting was a larger DPI: up
// to 11 points the window keeps its size, above that it grows with the font, as a whole.
double desktopFontScale(const QFont &desktopFont);

// Scales window's fixed size, the geometry of each of its controls and the pictures of its
// buttons by scale, keeping the layout's proportions.
void scaleWindow(QWidget *window, double scale);
