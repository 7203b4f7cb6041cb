// SPDX-License-Identifier: GPL-3.0-or-later
#include "serialportlink.h"

#include "devicefile.h"
#include "deviceholder.h"
#include "deviceport.h"

#include <QDeadlineTimer>

SerialPortLink::SerialPortLink(const PortMap &portMap, QObject *parent)
    : SerialLink(parent)
    , m_portMap(portMap)
{
}

SerialPortLink::~SerialPortLink()
{
    flushAndClose();
}

OpenResult SerialPortLink::Open(int portNumber)
{
    OpenResult result;
    if (!PortMap::isValidPort(portNumber)) {
        result.failure = OpenFailure::UnknownPort;
        return result;
    }
    // Looked up at each click: the adapter may have been plugged in, or come back under another
    // name, since the window opened.
    result.device = m_portMap.devicePath(portNumber);
    if (result.device.isEmpty()) {
        result.failure = OpenFailure::NoPort;
        return result;
    }

    // The port is already open (in use, or still sending for the other choice): keep it as it is,
    // and let go of the other one once it has sent what it holds. When the port now stands for
    // another device (an adapter plugged back under a new name), that one is opened instead.
    if (slot(portNumber) && !slot(portNumber)->isFailing() &&
        isSameDevice(slot(portNumber)->path(), result.device)) {
        std::unique_ptr<DevicePort> kept = std::move(slot(portNumber));
        adopt(portNumber, std::move(kept));
        return result;
    }
    // Lost but not yet reported: its lost notes are told before the port is picked again.
    if (slot(portNumber) && slot(portNumber)->isFailing())
        slot(portNumber)->reportFailure();
    // Both choices may name one device; our own lock would then call it busy.
    for (int other = PortMap::kFirstPort; other <= PortMap::kLastPort; ++other) {
        if (slot(other) && !slot(other)->isFailing() &&
            isSameDevice(slot(other)->path(), result.device)) {
            std::unique_ptr<DevicePort> shared = std::move(slot(other));
            adopt(portNumber, std::move(shared));
            return result;
        }
    }

    std::unique_ptr<DevicePort> port = DevicePort::open(result.device, result, this);
    if (!port) {
        if (result.failure == OpenFailure::Busy) {
            if (const std::optional<DeviceHolder> holder = findDeviceHolder(result.device)) {
                result.holder = holder->program;
                result.holderPid = holder->pid;
            }
        }
        return result; // the port in use, if any, stays in use
    }

    connect(port.get(), &DevicePort::failed, this,
            [this, raw = port.get()](const PortLoss &loss) { onPortFailed(raw, loss); });
    connect(port.get(), &DevicePort::drained, this, [this, raw = port.get()] {
        if (m_current != 0 && slot(m_current).get() == raw)
            emit drained();
    });
    // The device this port stood for until now sends what it still holds before it lets go.
    if (slot(portNumber))
        letGo(portNumber, std::move(slot(portNumber)));
    adopt(portNumber, std::move(port));
    return result;
}

void SerialPortLink::letGo(int portNumber, std::unique_ptr<DevicePort> port)
{
    if (port->pendingBytes() == 0)
        return;
    DevicePort *raw = port.get();
    m_leaving.push_back({portNumber, std::move(port)});
    connect(
        raw, &DevicePort::drained, this,
        [this, raw] {
            for (auto it = m_leaving.begin(); it != m_leaving.end(); ++it) {
                if (it->port.get() == raw) {
                    it->port.release()->deleteLater(); // we are inside its signal
                    m_leaving.erase(it);
                    return;
                }
            }
        },
        Qt::SingleShotConnection);
}

void SerialPortLink::adopt(int portNumber, std::unique_ptr<DevicePort> port)
{
    slot(portNumber) = std::move(port);
    const int previous = m_current;
    m_current = portNumber;
    if (previous != 0 && previous != portNumber)
        retire(previous);
}

void SerialPortLink::retire(int portNumber)
{
    DevicePort *port = slot(portNumber).get();
    if (!port)
        return;
    if (port->pendingBytes() == 0) {
        slot(portNumber).reset();
        return;
    }
    connect(
        port, &DevicePort::drained, this,
        [this, port] {
            for (int number = PortMap::kFirstPort; number <= PortMap::kLastPort; ++number) {
                if (slot(number).get() == port && number != m_current)
                    slot(number).release()->deleteLater(); // we are inside its signal
            }
        },
        Qt::SingleShotConnection);
}

WriteResult SerialPortLink::writeBytes(QByteArrayView bytes)
{
    WriteResult result;
    result.portNumber = m_current;
    if (m_current == 0) {
        result.failure = WriteFailure::NotOpen;
        return result;
    }
    DevicePort &port = *slot(m_current);
    result.device = port.path();

    switch (port.enqueue(bytes, m_lastSequence + 1, result.detail)) {
    case DevicePort::Enqueue::Queued:
        result.sequence = ++m_lastSequence;
        break;
    case DevicePort::Enqueue::Gone:
        result.failure = WriteFailure::DeviceGone;
        result.unsent = port.unsentWrites(); // its loss is told here, not by portLost
        slot(m_current).reset();
        m_current = 0;
        break;
    case DevicePort::Enqueue::Failed:
        result.failure = WriteFailure::System;
        break;
    }
    return result;
}

bool SerialPortLink::allSent() const
{
    return m_current == 0 || !m_ports[m_current - 1] || m_ports[m_current - 1]->allSent();
}

int SerialPortLink::flushAndClose(std::chrono::milliseconds budget)
{
    const QDeadlineTimer deadline(budget);
    int unsent = 0;
    for (Leaving &leaving : m_leaving)
        unsent += leaving.port->flush(std::chrono::milliseconds(deadline.remainingTime()));
    m_leaving.clear();
    for (std::unique_ptr<DevicePort> &port : m_ports) {
        if (port)
            unsent += port->flush(std::chrono::milliseconds(deadline.remainingTime()));
        port.reset();
    }
    m_current = 0;
    return unsent;
}

void SerialPortLink::onPortFailed(DevicePort *port, const PortLoss &loss)
{
    for (auto it = m_leaving.begin(); it != m_leaving.end(); ++it) {
        if (it->port.get() != port)
            continue;
        const int number = it->portNumber;
        it->port.release()->deleteLater(); // we are inside its signal
        m_leaving.erase(it);
        emit portLost(number, port->path(), loss);
        return;
    }
    for (int number = PortMap::kFirstPort; number <= PortMap::kLastPort; ++number) {
        if (slot(number).get() != port)
            continue;
        const QString device = port->path();
        slot(number).release()->deleteLater(); // we are inside its signal
        if (m_current == number)
            m_current = 0;
        emit portLost(number, device, loss);
    }
}
