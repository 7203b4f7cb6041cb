// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QWidget;

// The program's one way to warn: a modal box titled "Tinkora" with an exclamation icon and one
// OK button, over parent; or, when warnings open inside the window, a sheet over parent's window.
// Returns once the user has dismissed it.
void showWarningBox(QWidget *parent, const QString &text);

// Under Wayland a box of its own cannot be placed over its window and shows a minimise and a
// maximise button whatever its flags, so there warnings open inside the window. The choice is
// made once, from the platform, unless set here first.
bool warningsInsideWindow();
void setWarningsInsideWindow(bool inside);

// Whether a warning is open over window: its controls take no action meanwhile.
bool warningOpen(const QWidget *window);

// text with a word joiner after each hyphen of an option name ("--com1"): line breaking may cut
// after a hyphen, leaving "--" at the end of a line and "com1" on the next. The joiner is not
// read aloud.
QString optionsKeptWhole(QString text);
