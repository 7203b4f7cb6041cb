#include "deviceholder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <sys/stat.h>

namespace {

std::optional<dev_t> deviceNumber(const QByteArray &path)
{
    struct stat status {};
    if (::stat(path.constData(), &status) != 0 || !S_ISCHR(status.st_mode))
        return std::nullopt;
    return status.st_rdev;
}

bool holds(const QString &processDir, dev_t device)
{
    const QDir fds(processDir + QStringLiteral("/fd"));
    // Unreadable for other users' processes unless we are root: those are skipped.
    for (const QString &fd : fds.entryList(QDir::System | QDir::Files | QDir::NoDotAndDotDot)) {
        if (deviceNumber(QFile::encodeName(fds.filePath(fd))) == device)
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
    const std::optional<dev_t> wanted = deviceNumber(QFile::encodeName(device));
    if (!wanted)
        return std::nullopt;
    const qint64 self = QCoreApplication::applicationPid();
    const QDir proc(QStringLiteral("/proc"));
    for (const QString &entry : proc.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool isProcess = false;
        const qint64 pid = entry.toLongLong(&isProcess);
        if (!isProcess || pid == self)
            continue;
        const QString processDir = proc.filePath(entry);
        if (holds(processDir, *wanted))
            return DeviceHolder{programName(processDir), pid};
    }
    return std::nullopt;
}
