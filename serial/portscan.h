// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "portdescription.h"

// The serial ports present now, in the order "COM1" and "COM2" take them.
QList<PortDescription> presentSerialPorts();
