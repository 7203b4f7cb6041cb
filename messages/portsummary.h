// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "portdescription.h"

// "/dev/ttyUSB0 — FT232R USB UART (FTDI), n° A50285BI": the device and what is known of the
// adapter behind it.
QString portSummary(const PortDescription &port);
