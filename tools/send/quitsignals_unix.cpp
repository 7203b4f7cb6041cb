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
    const char byte = 0;
    [[maybe_unused]] const ssize_t ignored = ::write(g_quitPipe[1], &byte, 1);
}

} // namespace

void quitOnUnixSignals(QCoreApplication &app)
{
    if (::pipe2(g_quitPipe, O_CLOEXEC) != 0)
        return;
    auto *notifier = new QSocketNotifier(g_quitPipe[0], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, &QCoreApplication::quit);
    std::signal(SIGINT, requestQuit);
    std::signal(SIGTERM, requestQuit);
}
