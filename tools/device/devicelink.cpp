// SPDX-License-Identifier: GPL-3.0-or-later
#include "devicelink.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

bool isPresent(const QFileInfo &info)
{
    return info.isSymLink() || info.exists(); // a dangling link does not "exist"
}

// A link into the folder our own device lives in: what a stand-in killed before it could clean
// up leaves behind. Its pseudo-terminal is gone or belongs to someone else by now.
bool isStandInLink(const QFileInfo &info, const QString &device)
{
    return info.isSymLink() &&
           QFileInfo(info.symLinkTarget()).absolutePath() == QFileInfo(device).absolutePath();
}

} // namespace

DeviceLink::~DeviceLink()
{
    remove();
}

bool DeviceLink::make(const QString &device, const QString &path, QString &error)
{
    const QFileInfo info(path);
    if (isPresent(info)) {
        if (!isStandInLink(info, device)) {
            error =
                QStringLiteral("%1 existe déjà et n'est pas un lien laissé par tinkora-device : "
                               "il reste tel quel. Indiquez un autre chemin à --link.")
                    .arg(QDir::toNativeSeparators(path));
            return false;
        }
        QFile::remove(path);
    }
    if (!QFile::link(device, path)) {
        error =
            QStringLiteral("impossible de créer le lien %1").arg(QDir::toNativeSeparators(path));
        return false;
    }
    m_device = device;
    m_path = path;
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
    m_path.clear();
}
