// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "portmap.h"
#include "seriallink.h"

#include <array>
#include <chrono>
#include <memory>
#include <vector>

class DevicePort;

// The serial link over Qt Serial Port. A port left for the other one stays open only until its
// queued bytes have left, so switching ports mid-melody loses no frame.
class SerialPortLink : public SerialLink {
    Q_OBJECT
public:
    explicit SerialPortLink(const PortMap &portMap = {}, QObject *parent = nullptr);
    ~SerialPortLink() override;

    OpenResult Open(int portNumber) override;
    WriteResult writeBytes(QByteArrayView bytes) override;
    int openPort() const override { return m_current; }

    const PortMap &portMap() const { return m_portMap; }

    // Whether every byte written to the port in use has left the line.
    bool allSent() const;

    int flushAndClose(std::chrono::milliseconds budget = kExitFlushBudget) override;

private:
    std::unique_ptr<DevicePort> &slot(int portNumber) { return m_ports[portNumber - 1]; }
    void adopt(int portNumber, std::unique_ptr<DevicePort> port);
    void retire(int portNumber);
    void letGo(int portNumber, std::unique_ptr<DevicePort> port);
    void onPortFailed(DevicePort *port, const PortLoss &loss);

    PortMap m_portMap;
    std::array<std::unique_ptr<DevicePort>, PortMap::kLastPort> m_ports;
    // Devices a port stood for before it was picked again for another one, still sending.
    struct Leaving {
        int portNumber;
        std::unique_ptr<DevicePort> port;
    };
    std::vector<Leaving> m_leaving;
    int m_current = 0;
    quint64 m_lastSequence = 0;
};
