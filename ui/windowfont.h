// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>
#include <QList>
#include <QStringList>

class QWidget;

// The texts one control must show whole.
struct TextsInBox {
    QWidget *control; // a QLineEdit, an editable QComboBox or a button
    QStringList texts;
};

// The layout is fixed in logical pixels, so the font is sized in pixels too (a larger font DPI
// or a high-DPI screen then keeps every text in its box). Gives window the largest, least
// condensed face of its family with which every text fits its control under the style in use,
// after trimming a style's wide text margins in the fields. On a window scaled by scale (see
// desktopFontScale) the sizes tried are scaled with it.
void fitWindowFont(QWidget *window, const QList<TextsInBox> &boxes, double scale = 1.0);

// The width a control leaves to one line of text, under its style and font.
int textRoom(const QWidget *control);
