#pragma once

#include "devicenames.h"

#include <QString>

#include <array>

// Which device stands behind "COM1" and "COM2".
class PortMap {
public:
    static constexpr int kFirstPort = 1;
    static constexpr int kLastPort = 2;

    static bool isValidPort(int portNumber)
    {
        return portNumber >= kFirstPort && portNumber <= kLastPort;
    }

    QString devicePath(int portNumber) const;
    void setDevicePath(int portNumber, const QString &path);

private:
    std::array<QString, kLastPort> m_paths{defaultDevicePath(1), defaultDevicePath(2)};
};
