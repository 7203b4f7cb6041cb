#include "portmap.h"

#include <QDir>

QString PortMap::devicePath(int portNumber) const
{
    return isValidPort(portNumber) ? m_paths[portNumber - kFirstPort] : QString();
}

void PortMap::setDevicePath(int portNumber, const QString &path)
{
    if (!isValidPort(portNumber))
        return;
    // A bare name such as "ttyUSB0" lives in /dev; any other path is taken from where we are.
    m_paths[portNumber - kFirstPort] = path.contains(u'/')
                                           ? QDir::cleanPath(QDir::current().absoluteFilePath(path))
                                           : QStringLiteral("/dev/") + path;
}
