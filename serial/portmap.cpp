// SPDX-License-Identifier: GPL-3.0-or-later
#include "portmap.h"

#include "devicefile.h"
#include "devicenames.h"
#include "portscan.h"

#include <algorithm>

namespace {

bool stands(const PortDescription &port, const QString &path)
{
    return port.device == path || port.byIdLink == path || isSameDevice(port.device, path);
}

} // namespace

PortMap::PortMap()
    : PortMap(presentSerialPorts)
{
}

PortMap::PortMap(Scan scan)
    : m_scan(std::move(scan))
{
}

void PortMap::setDevicePath(int portNumber, const QString &path)
{
    if (isValidPort(portNumber))
        m_given[portNumber - kFirstPort] = path.isEmpty() ? QString() : devicePathFor(path);
}

QString PortMap::givenPath(int portNumber) const
{
    return isValidPort(portNumber) ? m_given[portNumber - kFirstPort] : QString();
}

QString PortMap::devicePath(int portNumber) const
{
    if (!givenPath(portNumber).isEmpty())
        return givenPath(portNumber); // no need to look at the system
    const std::optional<PortDescription> port = describe(portNumber);
    return port ? port->device : QString();
}

std::optional<PortDescription> PortMap::describe(int portNumber) const
{
    return isValidPort(portNumber) ? resolve(portNumber, m_scan()) : std::nullopt;
}

std::optional<PortDescription> PortMap::resolve(int portNumber,
                                                const QList<PortDescription> &present) const
{
    if (!isValidPort(portNumber))
        return std::nullopt;
    const QString given = givenPath(portNumber);
    if (!given.isEmpty()) {
        // The path as given stays the device; the port found only adds what is known of it.
        const auto found = std::find_if(present.begin(), present.end(),
                                        [&](const PortDescription &p) { return stands(p, given); });
        PortDescription port = found != present.end() ? *found : PortDescription{};
        port.device = given;
        return port;
    }

    // The other port given: take the first port that is not its device.
    const int other = portNumber == kFirstPort ? kLastPort : kFirstPort;
    const QString otherGiven = givenPath(other);
    if (!otherGiven.isEmpty()) {
        const auto found =
            std::find_if(present.begin(), present.end(),
                         [&](const PortDescription &p) { return !stands(p, otherGiven); });
        return found != present.end() ? std::optional(*found) : std::nullopt;
    }
    const qsizetype index = portNumber - kFirstPort;
    return index < present.size() ? std::optional(present[index]) : std::nullopt;
}
