// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class Form1;
class QApplication;

// Shows the window and runs the event loop until the window closes or a quit signal arrives;
// then sends what the ports still hold, within the exit budget, releases them and reports on
// stderr the notes that could not leave. The same happens when the program ends through exit(),
// which is how Qt ends it when the display connection breaks (logout, X server gone).
int runWindow(QApplication &app, Form1 &window);
