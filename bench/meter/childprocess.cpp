// SPDX-License-Identifier: GPL-3.0-or-later
#include "childprocess.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <ctime>
#include <fstream>
#include <sstream>
#include <thread>

#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace {

std::string_view nameOf(std::string_view variable)
{
    return variable.substr(0, variable.find('='));
}

std::vector<char *> pointers(std::vector<std::string> &strings)
{
    std::vector<char *> result;
    for (std::string &text : strings)
        result.push_back(text.data());
    result.push_back(nullptr);
    return result;
}

} // namespace

ChildProcess::ChildProcess(pid_t pid)
    : m_pid(pid)
{
}

ChildProcess::~ChildProcess()
{
    stop();
}

std::unique_ptr<ChildProcess> ChildProcess::start(const std::vector<std::string> &command,
                                                  const std::vector<std::string> &extraEnvironment,
                                                  int outputFd, std::string &error)
{
    if (command.empty() || ::access(command.front().c_str(), X_OK) != 0) {
        error = "cannot run " + (command.empty() ? std::string("nothing") : command.front());
        return nullptr;
    }
    // Everything execve needs is built before fork: the child only copies a clock and execs.
    std::vector<std::string> arguments = command;
    std::vector<std::string> environment;
    for (char **entry = environ; *entry; ++entry) {
        const bool replaced = std::any_of(
            extraEnvironment.begin(), extraEnvironment.end(),
            [entry](const std::string &extra) { return nameOf(extra) == nameOf(*entry); });
        if (!replaced)
            environment.emplace_back(*entry);
    }
    environment.insert(environment.end(), extraEnvironment.begin(), extraEnvironment.end());
    std::vector<char *> argv = pointers(arguments);
    std::vector<char *> envp = pointers(environment);

    using Ticks = std::atomic<Clock::rep>;
    static_assert(Ticks::is_always_lock_free, "shared between two processes");
    void *shared =
        ::mmap(nullptr, sizeof(Ticks), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    if (shared == MAP_FAILED) {
        error = std::string("mmap: ") + std::strerror(errno);
        return nullptr;
    }
    auto *execAt = new (shared) Ticks(0);

    const pid_t pid = ::fork();
    if (pid < 0) {
        error = std::string("fork: ") + std::strerror(errno);
        ::munmap(shared, sizeof(Ticks));
        return nullptr;
    }
    if (pid == 0) {
        ::dup2(outputFd, STDOUT_FILENO);
        ::dup2(outputFd, STDERR_FILENO);
        execAt->store(Clock::now().time_since_epoch().count());
        ::execve(argv[0], argv.data(), envp.data());
        ::_exit(127);
    }

    std::unique_ptr<ChildProcess> child(new ChildProcess(pid));
    // The child has written the time by the time it is anything but a copy of us; wait for it.
    while (execAt->load() == 0 && !child->hasExited())
        std::this_thread::yield();
    child->m_execAt = Clock::time_point(Clock::duration(execAt->load()));
    ::munmap(shared, sizeof(Ticks));
    return child;
}

std::optional<double> ChildProcess::cpuMs() const
{
    clockid_t clock;
    timespec spent{};
    if (m_reaped || ::clock_getcpuclockid(m_pid, &clock) != 0 ||
        ::clock_gettime(clock, &spent) != 0)
        return std::nullopt;
    return double(spent.tv_sec) * 1e3 + double(spent.tv_nsec) / 1e6;
}

std::optional<MemoryFigures> ChildProcess::memory() const
{
    std::ifstream file("/proc/" + std::to_string(m_pid) + "/status");
    std::stringstream text;
    text << file.rdbuf();
    return parseProcStatus(text.str());
}

bool ChildProcess::hasExited()
{
    if (m_reaped)
        return true;
    int status = 0;
    if (::waitpid(m_pid, &status, WNOHANG) == m_pid)
        m_reaped = true;
    return m_reaped;
}

void ChildProcess::stop()
{
    if (m_pid <= 0 || hasExited())
        return;
    ::kill(m_pid, SIGTERM);
    for (int i = 0; i < 100 && !hasExited(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (!hasExited()) {
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
        m_reaped = true;
    }
}
