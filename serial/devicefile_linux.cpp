// SPDX-License-Identifier: GPL-3.0-or-later
#include "devicefile.h"

#include <QDir>

#include <sys/stat.h>

namespace {

bool identify(const QString &path, struct stat &status)
{
    return ::stat(QFile::encodeName(path).constData(), &status) == 0;
}

} // namespace

// Compares the files stat() reaches rather than resolved paths, which also holds for devices
// emulated behind links; a device node and a copy of it share their device number instead.
bool isSameDevice(const QString &a, const QString &b)
{
    if (a == b)
        return true;
    struct stat first {};
    struct stat second {};
    if (!identify(a, first) || !identify(b, second))
        return false;
    if (first.st_dev == second.st_dev && first.st_ino == second.st_ino)
        return true;
    return S_ISCHR(first.st_mode) && S_ISCHR(second.st_mode) && first.st_rdev != 0 &&
           first.st_rdev == second.st_rdev;
}

// udev names each USB serial adapter in /dev/serial/by-id after its maker, model and serial
// number.
QString stableDeviceLink(const QString &device)
{
    const QDir byId(QStringLiteral("/dev/serial/by-id"));
    const QStringList links =
        byId.entryList(QDir::System | QDir::Files | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString &link : links) {
        const QString path = byId.filePath(link);
        if (isSameDevice(path, device))
            return path;
    }
    return {};
}
