// SPDX-License-Identifier: GPL-3.0-or-later
#include "devicelink.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

QByteArray readAll(int fd)
{
    QByteArray content;
    char buffer[256];
    ::lseek(fd, 0, SEEK_SET);
    for (ssize_t got; (got = ::read(fd, buffer, sizeof buffer)) > 0;)
        content.append(buffer, got);
    return content;
}

// Whether fd is still the file at path: a stand-in ending removes its lock file, and one that
// opened it just before would otherwise hold a lock nobody else can see.
bool isStillAt(int fd, const QString &path)
{
    struct stat open {};
    struct stat named {};
    return ::fstat(fd, &open) == 0 && ::stat(QFile::encodeName(path).constData(), &named) == 0 &&
           open.st_dev == named.st_dev && open.st_ino == named.st_ino;
}

} // namespace

DeviceLink::~DeviceLink()
{
    remove();
}

bool DeviceLink::claim(const QString &path, QString &error, QString &leftFor)
{
    const QString lockPath = lockPathFor(path);
    for (int attempt = 0; attempt < 10; ++attempt) {
        const int fd = ::open(QFile::encodeName(lockPath).constData(),
                              O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
        if (fd < 0) {
            error = QStringLiteral("impossible de créer le fichier de verrou %1 du lien")
                        .arg(shown(lockPath));
            return false;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const QByteArray pid = readAll(fd).split('\n').value(0).trimmed();
            ::close(fd);
            error = QStringLiteral("%1 est le lien d'un autre tinkora-device qui tourne (PID %2) : "
                                   "arrêtez-le, ou indiquez un autre chemin à --link.")
                        .arg(shown(path),
                             pid.isEmpty() ? QStringLiteral("?") : QString::fromLatin1(pid));
            return false;
        }
        if (!isStillAt(fd, lockPath)) {
            ::close(fd);
            continue;
        }
        // The device a stand-in killed before it could clean up left its link pointing at.
        leftFor = QString::fromLocal8Bit(readAll(fd).split('\n').value(1).trimmed());
        m_lock = fd;
        return true;
    }
    error = QStringLiteral("le fichier de verrou %1 change sans cesse").arg(shown(lockPath));
    return false;
}

void DeviceLink::release()
{
    if (m_lock < 0)
        return;
    // Removed while still held, so that nobody takes a lock on a file about to vanish.
    QFile::remove(lockPathFor(m_path));
    ::close(m_lock);
    m_lock = -1;
}

bool DeviceLink::make(const QString &device, const QString &path, QString &error)
{
    QString leftFor;
    m_path = path;
    if (!claim(path, error, leftFor)) {
        m_path.clear();
        return false;
    }
    const QFileInfo info(path);
    if (info.isSymLink() || info.exists()) { // a dangling link does not "exist"
        if (!info.isSymLink() || leftFor.isEmpty() || info.symLinkTarget() != leftFor) {
            error =
                QStringLiteral("%1 existe déjà et n'est pas un lien laissé par tinkora-device : "
                               "il reste tel quel. Indiquez un autre chemin à --link.")
                    .arg(shown(path));
            release();
            m_path.clear();
            return false;
        }
        QFile::remove(path);
    }
    if (!QFile::link(device, path)) {
        error = QStringLiteral("impossible de créer le lien %1").arg(shown(path));
        release();
        m_path.clear();
        return false;
    }
    const QByteArray claimText = QByteArray::number(QCoreApplication::applicationPid()) + '\n' +
                                 QFile::encodeName(device) + '\n';
    if (::ftruncate(m_lock, 0) != 0 ||
        ::pwrite(m_lock, claimText.constData(), size_t(claimText.size()), 0) != claimText.size()) {
        // Without its claim written, a later stand-in could not tell the link was ours.
        QFile::remove(path);
        error = QStringLiteral("impossible d'écrire le fichier de verrou %1")
                    .arg(shown(lockPathFor(path)));
        release();
        m_path.clear();
        return false;
    }
    m_device = device;
    return true;
}

void DeviceLink::remove()
{
    if (m_path.isEmpty())
        return;
    // Someone may have put something else there meanwhile: leave that alone.
    const QFileInfo info(m_path);
    if (info.isSymLink() && info.symLinkTarget() == m_device)
        QFile::remove(m_path);
    release();
    m_path.clear();
}
