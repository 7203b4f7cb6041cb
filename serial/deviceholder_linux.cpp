// SPDX-License-Identifier: GPL-3.0-or-later
#include "deviceholder.h"

#include "devicefile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

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

} // namespace

std::optional<DeviceHolder> findDeviceHolder(const QString &device)
{
    const qint64 self = QCoreApplication::applicationPid();
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
