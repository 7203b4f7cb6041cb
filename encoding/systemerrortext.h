#pragma once

#include <QString>

// The system's error messages for what opening or writing to a port can meet, in French
// whatever the locale (systemerrortext_unix.cpp here).

// Empty for an error number it does not know.
QString systemErrorText(int systemError);

// The same from what is known of an error: its number when there is one, else the system's own
// words as Qt passes them on (strerror in the program's locale). Falls back to those words.
QString systemErrorText(int systemError, const QString &systemWords);
