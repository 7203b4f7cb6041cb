// SPDX-License-Identifier: GPL-3.0-or-later
#include "deviceholder.h"

#include "devicefile.h"
#include "portguards.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace {

bool holds(const QString &processDir, const QString &device)
{
    const QDir fds(processDir + QStringLiteral("/fd"));
    // Unreadable for other users' processes unless we are root: those are skipped.
    for (const QString &fd : fds.entryList(QDir::System | QDir::Files | QDir::NoDotAndDotDot)) {
        if (isSameDevice(fds.filePath(fd), device))
            return true;
    }
    return false;
}

QString programName(const QString &processDir)
{
    QFile comm(processDir + QStringLiteral("/comm"));
    if (!comm.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLocal8Bit(comm.readAll()).trimmed();
}

// The process holding a flock on the device, from /proc/locks: "1: FLOCK ADVISORY WRITE 4242
// 00:19:3 0 EOF", the file as hexadecimal major:minor of its file system and its inode.
qint64 flockHolder(const QString &device)
{
    struct stat file {};
    if (::stat(QFile::encodeName(device).constData(), &file) != 0)
        return 0;
    QFile locks(QStringLiteral("/proc/locks"));
    if (!locks.open(QIODevice::ReadOnly))
        return 0;
    const qint64 self = QCoreApplication::applicationPid();
    // readAll: /proc files have no size, so atEnd() would be true at once.
    for (const QByteArray &line : locks.readAll().split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        // Waiters are shown as "1: -> FLOCK ..."; they hold nothing.
        if (fields.size() < 6 || fields[1] != "FLOCK")
            continue;
        const QList<QByteArray> id = fields[5].split(':');
        bool ok = id.size() == 3;
        const qint64 pid = fields[4].toLongLong(ok ? &ok : nullptr);
        if (!ok || pid <= 0 || pid == self)
            continue;
        if (id[0].toUInt(nullptr, 16) == major(file.st_dev) &&
            id[1].toUInt(nullptr, 16) == minor(file.st_dev) &&
            id[2].toULongLong() == quint64(file.st_ino))
            return pid;
    }
    return 0;
}

} // namespace

std::optional<DeviceHolder> findDeviceHolder(const QString &device)
{
    const qint64 self = QCoreApplication::applicationPid();
    // The lock is what refused us; others may merely have the device open (a reader, a shell).
    for (const qint64 pid : {flockHolder(device), lockFileOwner(device)}) {
        if (pid > 0 && pid != self)
            return DeviceHolder{programName(QStringLiteral("/proc/%1").arg(pid)), pid};
    }
    const QDir proc(QStringLiteral("/proc"));
    for (const QString &entry : proc.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool isProcess = false;
        const qint64 pid = entry.toLongLong(&isProcess);
        if (!isProcess || pid == self)
            continue;
        const QString processDir = proc.filePath(entry);
        if (holds(processDir, device))
            return DeviceHolder{programName(processDir), pid};
    }
    return std::nullopt;
}
