// SPDX-License-Identifier: GPL-3.0-or-later
#include "quitsignals.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

int g_quitPipe[2] = {-1, -1};

void requestQuit(int)
{
    // Only async-signal-safe work here: the event loop does the rest.
    const char byte = 0;
    [[maybe_unused]] const ssize_t ignored = ::write(g_quitPipe[1], &byte, 1);
}

} // namespace

int quitSignalDescriptor()
{
    if (g_quitPipe[0] >= 0)
        return g_quitPipe[0];
    if (::pipe(g_quitPipe) != 0)
        return -1;
    for (int end : g_quitPipe)
        ::fcntl(end, F_SETFD, FD_CLOEXEC);
    std::signal(SIGINT, requestQuit);
    std::signal(SIGTERM, requestQuit);
    std::signal(SIGHUP, requestQuit); // the terminal it was started from closed
    return g_quitPipe[0];
}

void quitOnUnixSignals(QCoreApplication &app)
{
    const int descriptor = quitSignalDescriptor();
    if (descriptor < 0)
        return;
    auto *notifier = new QSocketNotifier(descriptor, QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, &QCoreApplication::quit);
}
