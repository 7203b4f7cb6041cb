// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "portdescription.h"

#include <QString>

#include <array>
#include <functional>
#include <optional>

// Which device stands behind "COM1" and "COM2": the one given on the command line, or else the
// N-th serial port present when asked, so that an adapter plugged in after start-up is found.
class PortMap {
public:
    static constexpr int kFirstPort = 1;
    static constexpr int kLastPort = 2;

    using Scan = std::function<QList<PortDescription>()>;

    PortMap(); // looks at the ports the system shows
    explicit PortMap(Scan scan);

    static bool isValidPort(int portNumber)
    {
        return portNumber >= kFirstPort && portNumber <= kLastPort;
    }

    // The device given for the port; an empty path lets the port follow the ports present.
    void setDevicePath(int portNumber, const QString &path);
    QString givenPath(int portNumber) const;

    // The device the port stands for now; empty when none is present.
    QString devicePath(int portNumber) const;
    // The same with what is known of it.
    std::optional<PortDescription> describe(int portNumber) const;
    // The ports present now, in the order the buttons take them.
    QList<PortDescription> presentPorts() const { return m_scan(); }

    // What the port stands for among the ports present, given in port order.
    std::optional<PortDescription> resolve(int portNumber,
                                           const QList<PortDescription> &present) const;

private:
    Scan m_scan;
    std::array<QString, kLastPort> m_given;
};
