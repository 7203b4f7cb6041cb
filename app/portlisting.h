// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QTextStream>

class PortMap;

// `tinkora --list`: the serial ports present and what "COM1" and "COM2" stand for now.
void listPorts(const PortMap &map, QTextStream &out);
