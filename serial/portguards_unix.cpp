// SPDX-License-Identifier: GPL-3.0-or-later
#include "portguards.h"

#include <QFile>

#include <algorithm>
#include <vector>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <limits>
#include <optional>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

// The terminal a descriptor really reaches: /dev/tty stands for the controlling terminal, which
// only TIOCGDEV names.
std::optional<dev_t> terminalDevice(int fd)
{
#ifdef TIOCGDEV
    unsigned int device = 0;
    if (::ioctl(fd, TIOCGDEV, &device) == 0)
        return makedev(major(device), minor(device));
#endif
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISCHR(info.st_mode))
        return info.st_rdev;
    return std::nullopt;
}

// The terminals of standard input, output and error as the program was started, taken before
// main() runs: a device opened later on a number left free by "<&- >&-" is not one of them.
const std::vector<dev_t> kStartTerminals = [] {
    std::vector<dev_t> terminals;
    for (int standard : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) {
        if (::isatty(standard)) {
            if (const std::optional<dev_t> device = terminalDevice(standard))
                terminals.push_back(*device);
        }
    }
    return terminals;
}();

std::optional<dev_t> controllingTerminal()
{
    const int fd = ::open("/dev/tty", O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt; // none: started from the desktop
    const std::optional<dev_t> device = terminalDevice(fd);
    ::close(fd);
    return device;
}

} // namespace

bool isOwnTerminal(qintptr handle)
{
    const std::optional<dev_t> device = terminalDevice(int(handle));
    if (!device)
        return false;
    if (controllingTerminal() == device)
        return true;
    return std::find(kStartTerminals.begin(), kStartTerminals.end(), *device) !=
           kStartTerminals.end();
}

namespace {

struct LockFile {
    QString path;
    qint64 pid = 0; // 0 when it names no process
};

// The first serial lock file for the device, where Qt Serial Port and the uucp-style tools put
// theirs: "LCK.." and the device's name under /dev/, slashes made underscores.
std::optional<LockFile> findLockFile(const QString &devicePath)
{
    static const char *const kLockFolders[] = {
        "/var/lock", "/etc/locks", "/var/spool/locks",  "/var/spool/uucp",
        "/tmp",      "/var/tmp",   "/var/lock/lockdev", "/run/lock"};
    QString name = devicePath;
    if (name.startsWith(u"/dev/"))
        name.remove(0, 5);
    name = QStringLiteral("LCK..") + name.replace(u'/', u'_');

    for (const char *folder : kLockFolders) {
        QFile file(QString::fromLatin1(folder) + u'/' + name);
        if (!file.open(QIODevice::ReadOnly))
            continue;
        // Qt writes the process id on the first line; the uucp tools write it alone, padded.
        bool isNumber = false;
        const qint64 pid = file.readLine(64).trimmed().toLongLong(&isNumber);
        const bool valid = isNumber && pid > 0 && pid <= std::numeric_limits<pid_t>::max();
        return LockFile{file.fileName(), valid ? pid : 0};
    }
    return std::nullopt;
}

bool isRunning(qint64 pid)
{
    return ::kill(pid_t(pid), 0) == 0 || errno != ESRCH;
}

} // namespace

bool isPortTerminal(qintptr handle)
{
    const int fd = int(handle);
    unsigned int ptyNumber = 0;
    if (::ioctl(fd, TIOCGPTN, &ptyNumber) == 0)
        return false; // a master
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISCHR(info.st_mode))
        return true; // emulated devices may not say; tcgetattr already answered
    // Linux's fixed numbers: 5 for /dev/tty, /dev/console and /dev/ptmx; 4 below 64 for the
    // virtual consoles, above for the 8250 serial ports.
    const unsigned int number = major(info.st_rdev);
    return number != 5 && !(number == 4 && minor(info.st_rdev) < 64);
}

QString staleLockFile(const QString &devicePath)
{
    const std::optional<LockFile> lock = findLockFile(devicePath);
    if (lock && lock->pid > 0 && !isRunning(lock->pid))
        return lock->path;
    return {}; // none, held by a process that runs, or not ours to judge
}

qint64 lockFileOwner(const QString &devicePath)
{
    const std::optional<LockFile> lock = findLockFile(devicePath);
    return lock && lock->pid > 0 && isRunning(lock->pid) ? lock->pid : 0;
}
