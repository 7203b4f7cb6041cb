// SPDX-License-Identifier: GPL-3.0-or-later
#include "adapterbed.h"
#include "bytes.h"
#include "form1.h"
#include "messageboxcloser.h"
#include "portscan.h"
#include "serialportlink.h"
#include "windowdriver.h"

#include <QHelpEvent>
#include <QProcess>
#include <QRadioButton>
#include <QTest>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <memory>

using Adapter = AdapterBed::Adapter;

// "COM1" and "COM2" on serial adapters as the system shows them, emulated by umockdev: the real
// enumeration and the real serial code run unchanged.
class TestAdapters : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void everyKnownAdapterIsFound();
    void noteReachesTheAdapterWithoutOptions();
    void nothingFoundSaysWhatToDo_data();
    void nothingFoundSaysWhatToDo();
    void replugUnderAnotherName();
    void tooltipNamesTheAdapter();
    void busyNamesTheHolder();
    void listWithoutDisplay_data();
    void listWithoutDisplay();

private:
    void openWindow();
    static void showToolTip(QWidget *button);
    static bool canLock(const QString &device);

    std::unique_ptr<AdapterBed> m_bed;
    std::unique_ptr<MessageBoxCloser> m_boxes;
    std::unique_ptr<SerialPortLink> m_link; // outlives the window that writes through it
    std::unique_ptr<Form1> m_window;
    std::unique_ptr<WindowDriver> m_driver;
};

void TestAdapters::initTestCase()
{
    // Without the preload library the machine's own serial ports would be reached.
    QVERIFY2(AdapterBed::isPreloaded(), "run under umockdev-wrapper");
}

void TestAdapters::init()
{
    m_bed = std::make_unique<AdapterBed>();
    m_boxes = std::make_unique<MessageBoxCloser>();
}

void TestAdapters::cleanup()
{
    m_driver.reset();
    m_window.reset();
    m_link.reset();
    m_boxes.reset();
    m_bed.reset();
}

void TestAdapters::openWindow()
{
    m_link = std::make_unique<SerialPortLink>(); // no --com1, no --com2
    m_window = std::make_unique<Form1>(*m_link);
    m_driver = std::make_unique<WindowDriver>(m_window.get());
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

// What the pointer resting on the button does.
void TestAdapters::showToolTip(QWidget *button)
{
    const QPoint centre = button->rect().center();
    QHelpEvent event(QEvent::ToolTip, centre, button->mapToGlobal(centre));
    QCoreApplication::sendEvent(button, &event);
}

bool TestAdapters::canLock(const QString &device)
{
    const int fd = ::open(device.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return false;
    const bool locked = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    ::close(fd);
    return locked;
}

void TestAdapters::everyKnownAdapterIsFound()
{
    m_bed->plug(Adapter::Pl2303, u"ttyUSB10"_qs);
    m_bed->plug(Adapter::Ftdi, u"ttyUSB2"_qs);
    m_bed->plug(Adapter::ArduinoUno, u"ttyACM0"_qs);
    m_bed->plug(Adapter::Cp2102, u"ttyUSB1"_qs);
    m_bed->plug(Adapter::Ch340, u"ttyUSB0"_qs);

    const QList<PortDescription> found = presentSerialPorts();
    QStringList seen;
    for (const PortDescription &port : found) {
        seen << u"%1 %2:%3 %4"_qs.arg(port.device)
                    .arg(port.vendorId.value_or(0), 4, 16, QChar(u'0'))
                    .arg(port.productId.value_or(0), 4, 16, QChar(u'0'))
                    .arg(port.description);
    }
    const QStringList expected{
        u"/dev/ttyACM0 2341:0043 0043"_qs,
        u"/dev/ttyUSB0 1a86:7523 USB Serial"_qs,
        u"/dev/ttyUSB1 10c4:ea60 CP2102 USB to UART Bridge Controller"_qs,
        u"/dev/ttyUSB2 0403:6001 FT232R USB UART"_qs,
        u"/dev/ttyUSB10 067b:2303 USB-Serial Controller"_qs,
    };
    QCOMPARE(seen, expected);
}

// With no options, COM1 is the adapter: the frame for "120", "La3", "Noire" arrives on it.
void TestAdapters::noteReachesTheAdapterWithoutOptions()
{
    const QString device = m_bed->plug(Adapter::Ftdi, u"ttyUSB0"_qs);
    openWindow();
    m_driver->click(u"Option1"_qs);
    QCOMPARE(m_driver->checkedPort(), u"COM1"_qs);
    m_driver->choose(u"120"_qs, u"La3"_qs, u"Noire"_qs);
    m_driver->click(u"Command2"_qs);
    QCOMPARE(m_bed->read(device, 3), bytes({0, 22, 50}));
    QCOMPARE(m_boxes->texts(), QStringList());
}

void TestAdapters::nothingFoundSaysWhatToDo_data()
{
    QTest::addColumn<bool>("oneAdapter");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("expected");

    QTest::newRow("none, COM1")
        << false << u"Option1"_qs
        << u"Aucun port série trouvé pour COM1.\nBranchez l'adaptateur série de la carte, puis "
           "cliquez de nouveau sur COM1 ; ou lancez tinkora --com1 PÉRIPHÉRIQUE."_qs;
    QTest::newRow("one, COM2")
        << true << u"Option2"_qs
        << u"Aucun port série trouvé pour COM2 : il en faut un autre que celui de COM1.\n"
           "Branchez l'adaptateur série de la carte, puis cliquez de nouveau sur COM2 ; ou "
           "lancez tinkora --com2 PÉRIPHÉRIQUE."_qs;
}

void TestAdapters::nothingFoundSaysWhatToDo()
{
    QFETCH(bool, oneAdapter);
    QFETCH(QString, button);
    QFETCH(QString, expected);

    if (oneAdapter)
        m_bed->plug(Adapter::Ch340, u"ttyUSB0"_qs);
    openWindow();
    m_driver->click(button);
    QCOMPARE(m_boxes->texts(), QStringList{expected});
    QCOMPARE(m_driver->checkedPort(), QString());
    QVERIFY(!m_driver->control<QWidget>(u"Command2"_qs)->isEnabled());
    QVERIFY(!m_driver->control<QWidget>(u"tempo"_qs)->isEnabled());
}

// Pulled out and plugged back as ttyUSB1: clicking COM1 again reaches it, the tooltip follows.
void TestAdapters::replugUnderAnotherName()
{
    openWindow();
    auto *option1 = m_driver->control<QRadioButton>(u"Option1"_qs);
    const QString first = m_bed->plug(Adapter::Ftdi, u"ttyUSB0"_qs);
    m_driver->click(u"Option1"_qs);
    QCOMPARE(m_driver->checkedPort(), u"COM1"_qs);

    m_bed->unplug(first);
    const QString second = m_bed->plug(Adapter::Ftdi, u"ttyUSB1"_qs);
    m_driver->click(u"Option1"_qs);
    QCOMPARE(m_driver->checkedPort(), u"COM1"_qs);
    showToolTip(option1);
    QVERIFY2(option1->toolTip().startsWith(u"COM1 : /dev/ttyUSB1 — "_qs),
             qPrintable(option1->toolTip()));
    m_driver->choose(u"120"_qs, u"La3"_qs, u"Noire"_qs);
    m_driver->click(u"Command2"_qs);
    QCOMPARE(m_bed->read(second, 3), bytes({0, 22, 50}));
    // Whether the old port is seen gone before the click depends on the emulation; nothing else
    // may be reported.
    for (const QString &text : m_boxes->texts())
        QVERIFY2(text.startsWith(u"COM1 (/dev/ttyUSB0) a été fermé"_qs), qPrintable(text));
}

void TestAdapters::tooltipNamesTheAdapter()
{
    openWindow();
    auto *option1 = m_driver->control<QRadioButton>(u"Option1"_qs);
    auto *option2 = m_driver->control<QRadioButton>(u"Option2"_qs);
    m_bed->plug(Adapter::Ftdi, u"ttyUSB0"_qs); // after start-up
    m_bed->plug(Adapter::Ch340, u"ttyUSB1"_qs);

    showToolTip(option1);
    showToolTip(option2);
    QCOMPARE(option1->toolTip(),
             u"COM1 : /dev/ttyUSB0 — FT232R USB UART (FTDI), n° A50285BI\n"
             "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0"_qs);
    QCOMPARE(option1->accessibleDescription(),
             u"Ouvre le port série COM1 (/dev/ttyUSB0 — FT232R USB UART (FTDI), n° A50285BI)."_qs);
    QVERIFY2(option2->toolTip().startsWith(u"COM2 : /dev/ttyUSB1 — USB Serial (1a86)\n"_qs),
             qPrintable(option2->toolTip()));
}

void TestAdapters::busyNamesTheHolder()
{
    const QString device = m_bed->plug(Adapter::Ftdi, u"ttyUSB0"_qs);
    // The child inherits the test bed; with --close only flock itself holds the device.
    QProcess holder;
    holder.start(u"flock"_qs,
                 {u"--exclusive"_qs, u"--nonblock"_qs, u"--close"_qs, device, u"cat"_qs});
    QVERIFY(holder.waitForStarted());
    QTRY_VERIFY(!canLock(device));

    openWindow();
    m_driver->click(u"Option1"_qs);
    QCOMPARE(
        m_boxes->texts(),
        QStringList{u"Le port /dev/ttyUSB0 est déjà utilisé par flock (PID %1) : fermez ce "
                    "programme, puis cliquez de nouveau sur COM1."_qs.arg(holder.processId())});
    QCOMPARE(m_driver->checkedPort(), QString());
    holder.kill();
    holder.waitForFinished();
}

void TestAdapters::listWithoutDisplay_data()
{
    QTest::addColumn<bool>("adapters");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("expected");

    QTest::newRow("none")
        << false << QStringList{u"--list"_qs}
        << u"Aucun port série trouvé.\n\nCOM1 : aucun port\nCOM2 : aucun port\n"_qs;
    // COM1 given as the second adapter: COM2 is then the first one.
    QTest::newRow("two, --com1 given")
        << true << QStringList{u"--list"_qs, u"--com1"_qs, u"ttyUSB0"_qs}
        << u"/dev/ttyACM0\n"
           "  lien stable : /dev/serial/by-id/usb-Arduino__www.arduino.cc__0043_"
           "85736323838351F0E1C1-if00\n"
           "  description : 0043\n"
           "  fabricant : Arduino www.arduino.cc\n"
           "  identifiant USB : 2341:0043\n"
           "  numéro de série : 85736323838351F0E1C1\n"
           "/dev/ttyUSB0\n"
           "  lien stable : /dev/serial/by-id/usb-Prolific_Technology_Inc._"
           "USB-Serial_Controller-if00-port0\n"
           "  description : USB-Serial Controller\n"
           "  fabricant : Prolific Technology Inc.\n"
           "  identifiant USB : 067b:2303\n"
           "\n"
           "COM1 : /dev/ttyUSB0 — USB-Serial Controller (Prolific Technology Inc.) (option "
           "--com1)\n"
           "COM2 : /dev/ttyACM0 — 0043 (Arduino www.arduino.cc), n° 85736323838351F0E1C1\n"_qs;
}

void TestAdapters::listWithoutDisplay()
{
    QFETCH(bool, adapters);
    QFETCH(QStringList, arguments);
    QFETCH(QString, expected);

    if (adapters) {
        m_bed->plug(Adapter::ArduinoUno, u"ttyACM0"_qs);
        m_bed->plug(Adapter::Pl2303, u"ttyUSB0"_qs);
    }
    QProcess tinkora;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const QString &name : {u"DISPLAY"_qs, u"WAYLAND_DISPLAY"_qs, u"QT_QPA_PLATFORM"_qs})
        environment.remove(name);
    tinkora.setProcessEnvironment(environment);
    tinkora.start(QStringLiteral(TINKORA), arguments);
    QVERIFY(tinkora.waitForFinished(20000));
    QCOMPARE(tinkora.exitCode(), 0);
    QCOMPARE(QString::fromUtf8(tinkora.readAllStandardOutput()).split(u'\n'),
             expected.split(u'\n'));
}

QTEST_MAIN(TestAdapters)
#include "tst_adapters.moc"
