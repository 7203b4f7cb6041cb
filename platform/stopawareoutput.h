// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIODevice>

// A program's standard output or error that never keeps it from stopping: a write waits for the
// reader only until a stop is asked (stopFd readable, see quitSignalDescriptor()), and a reader
// gone (a closed pipe, "| head -1") makes writes vanish rather than end the program. One
// implementation per platform (stopawareoutput_unix.cpp here).
class StopAwareOutput : public QIODevice {
public:
    StopAwareOutput(int fd, int stopFd);

    bool isSequential() const override { return true; }
    // Whether some output could not be written: the reader went away, or did not take it in
    // time to stop.
    bool lostOutput() const { return m_lost; }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 size) override;

private:
    int m_fd;
    int m_stopFd;
    bool m_lost = false;
};
