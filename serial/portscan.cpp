// SPDX-License-Identifier: GPL-3.0-or-later
#include "portscan.h"

#include "devicefile.h"

#include <QSerialPortInfo>

QList<PortDescription> presentSerialPorts()
{
    QList<PortDescription> ports;
    // Qt leaves out the nodes with nothing behind them, such as an 8250 port with no UART.
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts()) {
        PortDescription port;
        port.device = info.systemLocation();
        port.byIdLink = stableDeviceLink(port.device);
        // Qt gives udev's names with spaces for underscores: "Arduino  www.arduino.cc ".
        port.description = info.description().simplified();
        port.manufacturer = info.manufacturer().simplified();
        port.serialNumber = info.serialNumber();
        if (info.hasVendorIdentifier())
            port.vendorId = info.vendorIdentifier();
        if (info.hasProductIdentifier())
            port.productId = info.productIdentifier();
        ports.append(port);
    }
    return inPortOrder(ports);
}
