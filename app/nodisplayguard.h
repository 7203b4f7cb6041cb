// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// While QApplication starts, a platform that cannot open (no X server, no Wayland compositor)
// ends the program with one French line and exit code 1 instead of Qt's abort and core dump.
// Qt's messages from that time are held back, and passed on once the start has succeeded.
class NoDisplayGuard {
public:
    static constexpr int kExitCode = 1;

    NoDisplayGuard();
    ~NoDisplayGuard();
    NoDisplayGuard(const NoDisplayGuard &) = delete;
    NoDisplayGuard &operator=(const NoDisplayGuard &) = delete;
};
