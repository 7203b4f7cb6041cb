// SPDX-License-Identifier: GPL-3.0-or-later
#include "adapterbed.h"

#include "pseudoterminal.h"

#include <QDir>
#include <QFile>

#include <umockdev.h>

namespace {

struct Model {
    const char *vendorId;
    const char *productId;
    const char *driver;
    const char *vendor; // udev's ID_VENDOR and ID_MODEL, spaces as underscores
    const char *model;
    const char *serial; // empty when the chip has none
};

Model model(AdapterBed::Adapter adapter)
{
    switch (adapter) {
    case AdapterBed::Adapter::Ftdi:
        return {"0403", "6001", "ftdi_sio", "FTDI", "FT232R_USB_UART", "A50285BI"};
    case AdapterBed::Adapter::Ch340:
        return {"1a86", "7523", "ch341", "1a86", "USB_Serial", ""};
    case AdapterBed::Adapter::Cp2102:
        return {"10c4", "ea60", "cp210x", "Silicon_Labs", "CP2102_USB_to_UART_Bridge_Controller",
                "0001"};
    case AdapterBed::Adapter::Pl2303:
        return {"067b", "2303", "pl2303", "Prolific_Technology_Inc.", "USB-Serial_Controller", ""};
    case AdapterBed::Adapter::ArduinoUno:
        return {
            "2341", "0043", "cdc_acm", "Arduino__www.arduino.cc_", "0043", "85736323838351F0E1C1"};
    }
    return {};
}

QString property(const char *name, const char *value)
{
    return *value ? QStringLiteral("E: %1=%2\n")
                        .arg(QString::fromLatin1(name), QString::fromUtf8(value))
                  : QString();
}

// ttyS0 and ttyS1 are described in every bed, so the machine's own are never reached. With no
// parent device they are not ports to Qt, as when nothing drives them.
const char kOnboardNodes[] = "P: /devices/virtual/tty/ttyS0\nN: ttyS0\nE: DEVNAME=/dev/ttyS0\n"
                             "E: SUBSYSTEM=tty\n\n"
                             "P: /devices/virtual/tty/ttyS1\nN: ttyS1\nE: DEVNAME=/dev/ttyS1\n"
                             "E: SUBSYSTEM=tty\n";

} // namespace

AdapterBed::AdapterBed()
    : m_bed(umockdev_testbed_new())
{
    gchar *root = umockdev_testbed_get_root_dir(m_bed);
    m_root = QString::fromLocal8Bit(root);
    g_free(root);
    add(QString::fromLatin1(kOnboardNodes));
}

AdapterBed::~AdapterBed()
{
    g_object_unref(m_bed);
}

bool AdapterBed::isPreloaded()
{
    return qEnvironmentVariable("LD_PRELOAD").contains(u"libumockdev-preload");
}

bool AdapterBed::add(const QString &description)
{
    GError *error = nullptr;
    const bool added =
        umockdev_testbed_add_from_string(m_bed, description.toUtf8().constData(), &error);
    if (error) {
        qWarning("umockdev: %s", error->message);
        g_error_free(error);
    }
    return added;
}

QString AdapterBed::plug(Adapter adapter, const QString &name)
{
    const Model m = model(adapter);
    const QString usb =
        QStringLiteral("/devices/pci0000:00/0000:00:14.0/usb1/1-%1").arg(m_nextUsbPort++);
    const QString interface = usb + u'/' + usb.section(u'/', -1) + QStringLiteral(":1.0");
    const bool acm = qstrcmp(m.driver, "cdc_acm") == 0;
    // USB serial chips have a usb-serial device between the interface and the tty.
    const QString ttyParent = acm ? interface : interface + u'/' + name;
    const QString tty = ttyParent + QStringLiteral("/tty/") + name;
    const QString driver = QString::fromLatin1(m.driver);

    QString text = QStringLiteral("P: %1\nE: SUBSYSTEM=usb\nE: DEVTYPE=usb_device\nE: DRIVER=usb\n"
                                  "A: idVendor=%2\nA: idProduct=%3\n"
                                  "L: driver=../../../../../bus/usb/drivers/usb\n\n")
                       .arg(usb, QString::fromLatin1(m.vendorId), QString::fromLatin1(m.productId));
    text += QStringLiteral("P: %1\nE: SUBSYSTEM=usb\nE: DEVTYPE=usb_interface\nE: DRIVER=%2\n"
                           "L: driver=../../../../../../bus/usb/drivers/%2\n\n")
                .arg(interface, driver);
    if (!acm) {
        text += QStringLiteral("P: %1\nE: SUBSYSTEM=usb-serial\nE: DRIVER=%2\n"
                               "L: driver=../../../../../../../bus/usb-serial/drivers/%2\n\n")
                    .arg(ttyParent, driver);
    }
    text += QStringLiteral("P: %1\nN: %2\nE: DEVNAME=/dev/%2\nE: SUBSYSTEM=tty\n").arg(tty, name);
    text += property("ID_VENDOR", m.vendor) + property("ID_MODEL", m.model) +
            property("ID_VENDOR_ID", m.vendorId) + property("ID_MODEL_ID", m.productId) +
            property("ID_SERIAL_SHORT", m.serial);
    if (!add(text))
        return {};

    // udev's stable name: maker, model and serial number, interface, and port for USB serial.
    QString link = QStringLiteral("usb-%1_%2")
                       .arg(QString::fromLatin1(m.vendor), QString::fromLatin1(m.model));
    if (*m.serial)
        link += u'_' + QString::fromLatin1(m.serial);
    link += acm ? QStringLiteral("-if00") : QStringLiteral("-if00-port0");
    const QString byId = m_root + QStringLiteral("/dev/serial/by-id");
    QDir().mkpath(byId);
    QFile::link(QStringLiteral("../../") + name, byId + u'/' + link);

    const QString device = QStringLiteral("/dev/") + name;
    m_plugged.insert(device, {QStringLiteral("/sys") + tty, byId + u'/' + link});
    return device;
}

void AdapterBed::unplug(const QString &device)
{
    const Plugged plugged = m_plugged.take(device);
    if (plugged.sysfsPath.isEmpty())
        return;
    QFile::remove(plugged.link);
    umockdev_testbed_remove_device(m_bed, plugged.sysfsPath.toUtf8().constData());
}

QByteArray AdapterBed::read(const QString &device, int count, int timeoutMs)
{
    const int fd = umockdev_testbed_get_dev_fd(m_bed, device.toUtf8().constData());
    return fd < 0 ? QByteArray() : readFromMaster(fd, count, timeoutMs, true);
}
