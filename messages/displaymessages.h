// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// What the window's program says on stderr when its display is missing or goes away.

// No X server and no Wayland compositor named in the environment.
QString noDisplayText();
// A display was named, yet the window could not open: Qt's own lines follow this one.
QString windowNotOpenedText();
// The display went away while the window was open (logout, X server or compositor stopped).
QString displayLostText();
