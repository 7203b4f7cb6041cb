// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Makes the window and its lists speak as a screen reader needs (AT-SPI on Linux): the window
// as a frame named by its caption, each list by its accessible name with its text as value.
// Installing twice is harmless.
void installAccessibleFactory();
