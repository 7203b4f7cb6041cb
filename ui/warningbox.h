// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QWidget;

// The program's one way to warn: a modal box titled "Tinkora" with an exclamation icon and one
// OK button, over parent. Returns once the user has dismissed it.
void showWarningBox(QWidget *parent, const QString &text);

// text with a word joiner after each hyphen of an option name ("--com1"): line breaking may cut
// after a hyphen, leaving "--" at the end of a line and "com1" on the next. The joiner is not
// read aloud.
QString optionsKeptWhole(QString text);
