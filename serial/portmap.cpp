#include "portmap.h"

QString PortMap::devicePath(int portNumber) const
{
    return isValidPort(portNumber) ? m_paths[portNumber - kFirstPort] : QString();
}

void PortMap::setDevicePath(int portNumber, const QString &path)
{
    if (isValidPort(portNumber))
        m_paths[portNumber - kFirstPort] = devicePathFor(path);
}
