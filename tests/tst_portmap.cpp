// SPDX-License-Identifier: GPL-3.0-or-later
#include "portmap.h"

#include <QTest>

Q_DECLARE_METATYPE(PortDescription)

// The order in which "COM1" and "COM2" take the ports present, and what each stands for.
class TestPortMap : public QObject {
    Q_OBJECT
private slots:
    void order_data();
    void order();
    void mapping_data();
    void mapping();
};

namespace {

PortDescription port(const QString &device, std::optional<quint16> vendorId = std::nullopt)
{
    PortDescription description;
    description.device = device;
    description.vendorId = vendorId;
    return description;
}

QList<PortDescription> ports(const QStringList &devices)
{
    QList<PortDescription> list;
    for (const QString &device : devices)
        list.append(port(device));
    return list;
}

QStringList devices(const QList<PortDescription> &list)
{
    QStringList names;
    for (const PortDescription &description : list)
        names.append(description.device);
    return names;
}

} // namespace

void TestPortMap::order_data()
{
    QTest::addColumn<QList<PortDescription>>("found");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("none") << QList<PortDescription>{} << QStringList{};
    QTest::newRow("numbers by value")
        << ports({u"/dev/ttyUSB10"_qs, u"/dev/ttyUSB2"_qs, u"/dev/ttyUSB1"_qs})
        << QStringList{u"/dev/ttyUSB1"_qs, u"/dev/ttyUSB2"_qs, u"/dev/ttyUSB10"_qs};
    QTest::newRow("adapters before onboard ports")
        << ports({u"/dev/ttyS0"_qs, u"/dev/ttyS1"_qs, u"/dev/ttyUSB0"_qs})
        << QStringList{u"/dev/ttyUSB0"_qs, u"/dev/ttyS0"_qs, u"/dev/ttyS1"_qs};
    QTest::newRow("ACM and USB by name")
        << ports({u"/dev/ttyUSB0"_qs, u"/dev/ttyAMA0"_qs, u"/dev/ttyACM0"_qs})
        << QStringList{u"/dev/ttyACM0"_qs, u"/dev/ttyUSB0"_qs, u"/dev/ttyAMA0"_qs};
    QTest::newRow("onboard in number order")
        << ports({u"/dev/ttyS10"_qs, u"/dev/ttyS2"_qs, u"/dev/ttyS0"_qs})
        << QStringList{u"/dev/ttyS0"_qs, u"/dev/ttyS2"_qs, u"/dev/ttyS10"_qs};
    // A driver with names of its own is still an adapter when it has a USB vendor id.
    QTest::newRow("vendor id makes an adapter")
        << QList<PortDescription>{port(u"/dev/ttyS0"_qs), port(u"/dev/ttyCH343USB0"_qs, 0x1a86)}
        << QStringList{u"/dev/ttyCH343USB0"_qs, u"/dev/ttyS0"_qs};
}

void TestPortMap::order()
{
    QFETCH(QList<PortDescription>, found);
    QFETCH(QStringList, expected);
    QCOMPARE(devices(inPortOrder(found)), expected);
}

void TestPortMap::mapping_data()
{
    QTest::addColumn<QStringList>("present"); // in port order
    QTest::addColumn<QString>("com1Given");
    QTest::addColumn<QString>("com2Given");
    QTest::addColumn<QString>("com1");
    QTest::addColumn<QString>("com2");

    const QString usb0 = u"/dev/ttyUSB0"_qs;
    const QString acm0 = u"/dev/ttyACM0"_qs;
    const QString pty = u"/dev/pts/7"_qs;
    QTest::newRow("none") << QStringList{} << QString() << QString() << QString() << QString();
    QTest::newRow("one adapter") << QStringList{usb0} << QString() << QString() << usb0
                                 << QString();
    QTest::newRow("two adapters") << QStringList{acm0, usb0} << QString() << QString() << acm0
                                  << usb0;
    QTest::newRow("adapter and --com1 elsewhere")
        << QStringList{usb0} << pty << QString() << pty << usb0;
    QTest::newRow("--com1 is the only adapter")
        << QStringList{usb0} << usb0 << QString() << usb0 << QString();
    QTest::newRow("--com1 as a bare name")
        << QStringList{acm0, usb0} << u"ttyACM0"_qs << QString() << acm0 << usb0;
    QTest::newRow("--com2 given") << QStringList{acm0, usb0} << QString() << acm0 << usb0 << acm0;
    QTest::newRow("--com1 through the stable link")
        << QStringList{acm0, usb0} << u"/dev/serial/by-id/usb-Arduino-if00"_qs << QString()
        << u"/dev/serial/by-id/usb-Arduino-if00"_qs << usb0;
    QTest::newRow("both given") << QStringList{acm0} << pty << usb0 << pty << usb0;
}

void TestPortMap::mapping()
{
    QFETCH(QStringList, present);
    QFETCH(QString, com1Given);
    QFETCH(QString, com2Given);
    QFETCH(QString, com1);
    QFETCH(QString, com2);

    QList<PortDescription> found = ports(present);
    for (PortDescription &description : found) {
        if (description.device == u"/dev/ttyACM0")
            description.byIdLink = u"/dev/serial/by-id/usb-Arduino-if00"_qs;
    }
    PortMap map([found] { return found; });
    map.setDevicePath(1, com1Given);
    map.setDevicePath(2, com2Given);
    QCOMPARE(map.devicePath(1), com1);
    QCOMPARE(map.devicePath(2), com2);
}

QTEST_GUILESS_MAIN(TestPortMap)
#include "tst_portmap.moc"
