// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>

// The 32 x 32 picture on "Transfert" and the window's icon: two computers joined by a cable.
// Painted in code, so showing it needs no image file and no image plugin.
QIcon transferPicture();
