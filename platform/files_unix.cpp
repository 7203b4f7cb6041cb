// SPDX-License-Identifier: GPL-3.0-or-later
#include "files.h"

#include <QFile>
#include <QSaveFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool statOf(const QString &path, struct stat &info)
{
    return ::stat(QFile::encodeName(path).constData(), &info) == 0;
}

bool isNullDevice(const struct stat &info)
{
    struct stat null {};
    return S_ISCHR(info.st_mode) && ::stat("/dev/null", &null) == 0 && info.st_rdev == null.st_rdev;
}

} // namespace

FileRead readFile(const QString &path, qint64 limit)
{
    FileRead result;
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        result.error = lastSystemError();
        return result;
    }
    result.bytes.resize(limit + 1);
    qint64 got = 0;
    while (got <= limit) {
        const ssize_t n = ::read(fd, result.bytes.data() + got, size_t(limit + 1 - got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            result.error = lastSystemError(); // EISDIR for a folder
            break;
        }
        if (n == 0)
            break;
        got += n;
    }
    ::close(fd);
    result.bytes.resize(got);
    result.tooBig = got > limit;
    return result;
}

OutputCheck checkOutput(const QString &path, const QStringList &inputs)
{
    struct stat output {};
    if (!statOf(path, output))
        return OutputCheck::Usable; // made anew; a failure is said when writing
    if (isNullDevice(output))
        return OutputCheck::Discarded;
    if (!S_ISREG(output.st_mode))
        return OutputCheck::NotARegularFile;
    for (const QString &input : inputs) {
        struct stat read {};
        if (statOf(input, read) && read.st_dev == output.st_dev && read.st_ino == output.st_ino)
            return OutputCheck::IsAnInput;
    }
    return OutputCheck::Usable;
}

SystemError saveFile(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return lastSystemError();
    // Each step is checked at once, while errno still holds the failing call's answer.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const SystemError error = lastSystemError();
        file.cancelWriting();
        return error == SystemError::None ? SystemError::InputOutput : error;
    }
    if (!file.commit()) {
        const SystemError error = lastSystemError();
        return error == SystemError::None ? SystemError::InputOutput : error;
    }
    return SystemError::None;
}
