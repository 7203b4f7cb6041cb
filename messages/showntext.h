// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayView>
#include <QString>

// Texts from outside (device paths, arguments, what the user typed) inside our sentences.

// As the user would type it in a shell: bytes that are not valid UTF-8, control and invisible
// format characters as \xHH escapes (a backslash as \\), so nothing shows as "�", breaks the
// line or turns the sentence around.
QString shownAsTyped(QByteArrayView bytes);
QString shownAsTyped(const QString &text);

// Typed text between « », cut short after kMaxShown characters, invisible characters shown as
// [U+200B], and isolated from the sentence around it so that right-to-left text inside cannot
// reorder the French words outside.
QString quotedUserText(const QString &text);

// The same sentence for a terminal or a log: the isolation marks that quotedUserText puts around
// typed text are dropped (a terminal shows them as nothing or as garbage, and they break grep
// patterns), the « » and the [U+…] of invisible characters stay.
QString forTerminal(QString sentence);
