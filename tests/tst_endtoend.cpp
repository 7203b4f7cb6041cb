// SPDX-License-Identifier: GPL-3.0-or-later
#include "bytes.h"
#include "form1.h"
#include "givenports.h"
#include "messageboxcloser.h"
#include "serialportlink.h"
#include "windowdriver.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <memory>

namespace {

// Starts the board stand-in with its device linked at link; true once the link is there.
bool startStandIn(QProcess &device, const QString &link, const QStringList &more = {})
{
    device.start(QStringLiteral(TINKORA_DEVICE), QStringList{u"--link"_qs, link} + more);
    return device.waitForStarted() &&
           QTest::qWaitFor([&link] { return QFile::exists(link); }, 5000);
}

// Stops it as scripts/run does once the window is closed; true once it has ended.
bool stopStandIn(QProcess &device)
{
    device.terminate();
    return device.waitForFinished(10000);
}

} // namespace

// The whole road: the window, driven by clicks and typing, sends a melody through the serial link
// to the board stand-in, which decodes it, keeps the EEPROM image and renders what it would play.
class TestEndToEnd : public QObject {
    Q_OBJECT
private slots:
    void fiveNoteMelody();
    void wholeFileDroppedOnTheWindow();
    void wrongLineSettingsAreReported();
    void servesAcrossCloseAndReopen();
};

void TestEndToEnd::fiveNoteMelody()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString link = dir.filePath(u"com1"_qs);
    const QString eeprom = dir.filePath(u"melodie.eeprom"_qs);
    const QString wav = dir.filePath(u"melodie.wav"_qs);

    QProcess device;
    QVERIFY(startStandIn(device, link, {u"--eeprom"_qs, eeprom, u"--wav"_qs, wav}));

    MessageBoxCloser boxes;
    {
        PortMap ports = givenPortsOnly();
        ports.setDevicePath(1, link);
        SerialPortLink link(ports);
        Form1 window(link, ports);
        WindowDriver driver(&window);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        driver.click(u"Option1"_qs);
        const QStringList melody[] = {
            {u"120"_qs, u"La3"_qs, u"Noire"_qs},
            {u"120"_qs, u"Do4"_qs, u"Croche=1/2 Noire"_qs},
            {u"60"_qs, u"Si4"_qs, u"Ronde=4 Noires"_qs},
            {u"90"_qs, u"Do2"_qs, u"Ronde=4 Noires"_qs},
            {u"180"_qs, u"Sol#3"_qs, u"Double Croche=1/4 Noire"_qs},
        };
        for (const QStringList &note : melody) {
            driver.choose(note[0], note[1], note[2]);
            driver.click(u"Command2"_qs);
        }
        QCOMPARE(window.findChild<QWidget *>(u"Text1"_qs)->property("text").toString(),
                 u"Note N° 5"_qs);
        // The user looks at the board before closing: the bytes leave while the port is open.
        QTRY_VERIFY(device.peek(1 << 16).contains("Note 5 @8"));
    } // closing the window closes the port

    QVERIFY(stopStandIn(device));
    QCOMPARE(device.exitCode(), 0);
    QCOMPARE(boxes.boxes.size(), 0);

    const QString output = QString::fromUtf8(device.readAllStandardOutput());
    const QStringList expectedLines{
        u"Ligne : 2400 bauds, 8N1, mode brut."_qs, u"Note 1 @0 : La3, 50 (0,50 s)"_qs,
        u"Note 2 @2 : Do4, 25 (0,25 s)"_qs,        u"Note 3 @4 : Si4, 255 (4,00 s)"_qs,
        u"Note 4 @6 : Do2, 253 (2,66 s)"_qs,       u"Note 5 @8 : Sol#3, 8 (0,08 s)"_qs,
        u"Mélodie en EEPROM (5 notes) :"_qs,       u"   1        0  La3     50 (0,50 s)"_qs,
        u"   5        8  Sol#3   8 (0,08 s)"_qs,
    };
    for (const QString &line : expectedLines)
        QVERIFY2(output.split(u'\n').contains(line), qPrintable(line + u"\n---\n"_qs + output));

    QFile image(eeprom);
    QVERIFY(image.open(QIODevice::ReadOnly));
    QByteArray expected(64, '\0');
    const char written[] = {22, 50, 25, 25, 36, char(255), 1, char(253), 21, 8};
    expected.replace(0, qsizetype(sizeof written), QByteArrayView(written, sizeof written));
    QCOMPARE(image.readAll(), expected);

    // 0.5 + 0.25 + 4 + 2.66 + 0.08 s at 44.1 kHz, 16-bit mono, after a 44-byte header.
    QCOMPARE(QFile(wav).size(), 44 + 2 * 441 * (50 + 25 + 400 + 266 + 8));
}

void TestEndToEnd::wholeFileDroppedOnTheWindow()
{
    QTemporaryDir dir;
    const QString link = dir.filePath(u"com1"_qs);
    const QString eeprom = dir.filePath(u"melodie.eeprom"_qs);
    QProcess device;
    QVERIFY(startStandIn(device, link, {u"--eeprom"_qs, eeprom}));

    MessageBoxCloser boxes;
    boxes.answerKey = Qt::Key_Return; // "Envoyer"
    {
        PortMap ports = givenPortsOnly();
        ports.setDevicePath(1, link);
        SerialPortLink serial(ports);
        Form1 window(serial, ports);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        WindowDriver(&window).click(u"Option1"_qs);

        QMimeData data;
        data.setUrls(
            {QUrl::fromLocalFile(QStringLiteral(EXAMPLES_DIR) + u"/au-clair-de-la-lune.csv"_qs)});
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::NoButton, {});
        QApplication::sendEvent(&window, &enter); // the drop goes where the drag entered
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::NoButton, {});
        QApplication::sendEvent(&window, &drop);
        QTRY_VERIFY_WITH_TIMEOUT(device.peek(1 << 16).contains("Note 22 @42"), 10000);
        QCOMPARE(window.findChild<QWidget *>(u"Text2"_qs)->property("text").toString(),
                 u"@EEPROM: 42"_qs);
    }
    QVERIFY(stopStandIn(device));
    QCOMPARE(boxes.boxes.size(), 1); // the question, and no warning
    const QString output = QString::fromUtf8(device.readAllStandardOutput());
    QVERIFY2(output.contains(u"Mélodie en EEPROM (22 notes) :"_qs), qPrintable(output));
    QVERIFY2(!output.contains(u"Note 23"_qs), qPrintable(output));
    QFile image(eeprom);
    QVERIFY(image.open(QIODevice::ReadOnly));
    // Do4 (25) for a Noire at 120 (50) in slot 1, Do4 for a Ronde (200) in slot 22.
    QCOMPARE(image.read(2), bytes({25, 50}));
    QVERIFY(image.seek(42));
    QCOMPARE(image.read(2), bytes({25, 200}));
}

void TestEndToEnd::wrongLineSettingsAreReported()
{
    QTemporaryDir dir;
    const QString link = dir.filePath(u"com1"_qs);
    QProcess device;
    QVERIFY(startStandIn(device, link));

    // A writer that forgot the settings: 9600 baud, output processing on.
    const int fd = ::open(QFile::encodeName(link).constData(), O_RDWR | O_NOCTTY);
    QVERIFY(fd >= 0);
    termios settings{};
    ::tcgetattr(fd, &settings);
    cfmakeraw(&settings);
    cfsetspeed(&settings, B9600);
    settings.c_oflag |= OPOST;
    ::tcsetattr(fd, TCSANOW, &settings);
    QCOMPARE(::write(fd, "\x00\x16\x32", 3), 3);
    QTRY_VERIFY(device.peek(1 << 16).contains("Note 1 @0"));
    ::close(fd);

    QVERIFY(stopStandIn(device));
    const QString output = QString::fromUtf8(device.readAllStandardOutput());
    QVERIFY2(output.contains(u"Ligne mal réglée : émission à 9600 bauds au lieu de 2400, réception "
                             "à 9600 bauds au lieu de 2400, sortie transformée"_qs),
             qPrintable(output));
}

void TestEndToEnd::servesAcrossCloseAndReopen()
{
    QTemporaryDir dir;
    const QString link = dir.filePath(u"com1"_qs);
    QProcess device;
    QVERIFY(startStandIn(device, link));

    // COM1, then COM2 and back: the writer closes the device and opens it again.
    PortMap ports;
    ports.setDevicePath(1, link);
    const QByteArray frames[] = {bytes({0, 22, 50}), bytes({2, 25, 100})};
    for (const QByteArray &frame : frames) {
        SerialPortLink writer(ports);
        QVERIFY(writer.Open(1).ok());
        QVERIFY(writer.writeBytes(frame).ok());
        writer.flushAndClose();
        QTRY_VERIFY(device.peek(1 << 16).contains(frame == frames[0] ? "Note 1 @0" : "Note 2 @2"));
    }
    QCOMPARE(device.state(), QProcess::Running);

    QVERIFY(stopStandIn(device));
    QCOMPARE(device.exitCode(), 0);
    const QString output = QString::fromUtf8(device.readAllStandardOutput());
    QVERIFY2(output.contains(u"Mélodie en EEPROM (2 notes) :"_qs), qPrintable(output));
    QVERIFY(!QFileInfo(link).isSymLink()); // the stand-in cleans up after itself
}

QTEST_MAIN(TestEndToEnd)
#include "tst_endtoend.moc"
