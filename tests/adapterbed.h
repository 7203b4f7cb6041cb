// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>

struct _UMockdevTestbed;

// Serial adapters as the system shows them, emulated by umockdev for this process and its
// children: sysfs and udev properties as Qt reads them, and a pseudo-terminal behind each
// device whose other end the test reads. The process must run under umockdev-wrapper.
class AdapterBed {
public:
    enum class Adapter { Ftdi, Ch340, Cp2102, Pl2303, ArduinoUno };

    AdapterBed();
    ~AdapterBed();
    AdapterBed(const AdapterBed &) = delete;
    AdapterBed &operator=(const AdapterBed &) = delete;

    static bool isPreloaded();

    // Plugs the adapter in as /dev/<name> ("ttyUSB0", "ttyACM0"), with its /dev/serial/by-id
    // link; returns the device path.
    QString plug(Adapter adapter, const QString &name);
    void unplug(const QString &device);

    // What the program wrote to the device, count bytes or what came within timeoutMs.
    QByteArray read(const QString &device, int count, int timeoutMs = 5000);

private:
    struct Plugged {
        QString sysfsPath;
        QString link;
    };
    bool add(const QString &description);

    _UMockdevTestbed *m_bed = nullptr;
    QString m_root;
    QMap<QString, Plugged> m_plugged;
    int m_nextUsbPort = 1;
};
