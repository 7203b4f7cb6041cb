#pragma once

#include <QString>

// The system's error messages for what opening a port can meet, in French whatever the
// locale (systemerrortext_unix.cpp here). Empty for an error number it does not know.
QString systemErrorText(int systemError);
