// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Asks for the calling thread what sound threads get: a real-time priority, so that a busy
// processor does not leave the output's buffer empty. Silently nothing where the system does
// not allow it. One implementation per platform (soundthread_unix.cpp here).
void raiseSoundThreadPriority();
