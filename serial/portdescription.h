// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>

#include <optional>

// A serial port the system shows, with what it says about the adapter behind it.
struct PortDescription {
    QString device;   // "/dev/ttyUSB0"
    QString byIdLink; // its stable "/dev/serial/by-id/..." name, empty when none
    QString description;
    QString manufacturer;
    QString serialNumber;
    std::optional<quint16> vendorId;
    std::optional<quint16> productId;
};

// USB serial and CDC-ACM adapters, as opposed to ports on the board of the computer.
bool isAdapter(const PortDescription &port);

// Adapters first, then onboard ports, each in natural name order (ttyUSB2 before ttyUSB10):
// the order in which "COM1" and "COM2" take them.
QList<PortDescription> inPortOrder(QList<PortDescription> ports);
