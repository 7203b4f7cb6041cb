// SPDX-License-Identifier: GPL-3.0-or-later
#include "givenports.h"
#include "portmessages.h"
#include "pseudoterminal.h"
#include "serialportlink.h"
#include "writeledger.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QSerialPort>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <memory>

class TestSerialPortLink : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void devicePaths_data();
    void devicePaths();
    void lineSettings();
    void bytesLeaveUnaltered();
    void frameLeavesWithoutWaitingForTheEventLoop();
    void stalledLineDoesNotBlock();
    void pickingTheOpenPortAgainKeepsIt();
    void failedSwitchKeepsThePortInUse();
    void switchingPortsLosesNoByte();
    void pickingBackTheSendingPortReleasesTheOther();
    void bothChoicesNamingOneDevice();
    void openFailures_data();
    void openFailures();
    void busyWhileAnotherLinkHasIt();
    void busyWhileAnotherProcessLocksIt();
    void permissionDeniedToAnotherUser();
    void staleLockFileIsNamed();
    void ownTerminalIsRefused_data();
    void ownTerminalIsRefused();
    void unpluggedDeviceIsReportedOnce();
    void adapterPluggedBackUnderItsName();
    void bytesLostInAnUnplugAreReported();
    void writesLeaveWholeOrNot_data();
    void writesLeaveWholeOrNot();
    void closeRightAfterWriteSendsEverything();
    void lineIsPutBackAfterTheLastByte();
    void closingOnAStalledLineReturns();
    void deviceReplacedUnderAPortSendsWhatItHeld();
    void nothingCountsAsSentOnAVanishingDevice();

private:
    std::unique_ptr<SerialPortLink> makeLink(const QString &com1, const QString &com2 = {});
    static bool canLock(const QString &path);
    static QString probe(const QString &program, const QStringList &arguments,
                         const QString &standardInput = {});

    std::unique_ptr<PseudoTerminal> m_com1;
    std::unique_ptr<PseudoTerminal> m_com2;
};

std::unique_ptr<SerialPortLink> TestSerialPortLink::makeLink(const QString &com1,
                                                             const QString &com2)
{
    PortMap ports = givenPortsOnly();
    ports.setDevicePath(1, com1);
    ports.setDevicePath(2, com2.isEmpty() ? u"/nonexistent/ttyS1"_qs : com2);
    return std::make_unique<SerialPortLink>(ports);
}

bool TestSerialPortLink::canLock(const QString &path)
{
    const int fd = ::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return false;
    const bool locked = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    ::close(fd);
    return locked;
}

void TestSerialPortLink::init()
{
    m_com1 = std::make_unique<PseudoTerminal>();
    m_com2 = std::make_unique<PseudoTerminal>();
    QVERIFY(m_com1->isValid() && m_com2->isValid());
}

void TestSerialPortLink::cleanup()
{
    m_com1.reset();
    m_com2.reset();
}

void TestSerialPortLink::devicePaths_data()
{
    QTest::addColumn<QString>("given");
    QTest::addColumn<QString>("expected");

    QTest::newRow("absolute") << u"/dev/ttyUSB0"_qs << u"/dev/ttyUSB0"_qs;
    QTest::newRow("bare name") << u"ttyUSB0"_qs << u"/dev/ttyUSB0"_qs;
    // Qt would look for a relative path under /dev; the user meant the current folder.
    QTest::newRow("relative") << u"build/com1"_qs << QDir::current().filePath(u"build/com1"_qs);
    QTest::newRow("untidy") << u"/dev//serial/../ttyS0"_qs << u"/dev/ttyS0"_qs;
}

void TestSerialPortLink::devicePaths()
{
    QFETCH(QString, given);
    QFETCH(QString, expected);

    // With no port present, only the given one stands for a device.
    PortMap ports = givenPortsOnly();
    ports.setDevicePath(2, given);
    QCOMPARE(ports.devicePath(2), expected);
    QCOMPARE(ports.devicePath(1), QString());
}

void TestSerialPortLink::lineSettings()
{
    auto link = makeLink(m_com1->slavePath());
    QVERIFY(link->Open(1).ok());
    QCOMPARE(link->openPort(), 1);

    const termios settings = m_com1->settings();
    QCOMPARE(cfgetospeed(&settings), speed_t(B2400));
    QCOMPARE(cfgetispeed(&settings), speed_t(B2400));
    QCOMPARE(settings.c_cflag & CSTOPB, 0u);
    QCOMPARE(settings.c_cflag & CRTSCTS, 0u);
    QCOMPARE(settings.c_oflag & OPOST, 0u);
    QCOMPARE(settings.c_iflag & (IXON | IXOFF | ICRNL | INLCR | ISTRIP), 0u);
    QCOMPARE(settings.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), 0u);

    // A pseudo-terminal reports CS8 and no parity whatever it is asked; the port object tells.
    const auto *port = link->findChild<QSerialPort *>();
    QVERIFY(port);
    QCOMPARE(port->dataBits(), QSerialPort::Data8);
    QCOMPARE(port->parity(), QSerialPort::NoParity);
    QCOMPARE(port->stopBits(), QSerialPort::OneStop);
    QCOMPARE(port->flowControl(), QSerialPort::NoFlowControl);
    QCOMPARE(port->baudRate(), 2400);
}

void TestSerialPortLink::bytesLeaveUnaltered()
{
    auto link = makeLink(m_com1->slavePath());
    QVERIFY(link->Open(1).ok());

    // NUL, LF, CR, XON, XOFF and high bytes are the ones a cooked line or a text API would touch.
    const QByteArray special("\x00\x0a\x0d\x11\x13\xc8\xff", 7);
    for (char byte : special)
        QVERIFY(link->WriteByte(quint8(byte)).ok());
    QCOMPARE(m_com1->read(special.size()), special);

    QByteArray all;
    for (int value = 0; value < 256; ++value)
        all.append(char(value));
    QVERIFY(link->writeBytes(all).ok());
    QCOMPARE(m_com1->read(all.size()), all);
    QCOMPARE(m_com1->readFor(100), QByteArray());
}

void TestSerialPortLink::frameLeavesWithoutWaitingForTheEventLoop()
{
    auto link = makeLink(m_com1->slavePath());
    QVERIFY(link->Open(1).ok());
    // The window repaints before its event loop runs again; the frame must not queue behind it.
    for (const QByteArray &frame : {QByteArray("\x00\x16\x32", 3), QByteArray("\x02\x17\x33", 3)}) {
        QVERIFY(link->writeBytes(frame).ok());
        QCOMPARE(m_com1->readWithoutEventLoop(frame.size(), 1000), frame);
    }
}

void TestSerialPortLink::stalledLineDoesNotBlock()
{
    auto link = makeLink(m_com1->slavePath());
    QVERIFY(link->Open(1).ok());
    m_com1->stall();

    QByteArray sent;
    for (int frame = 0; frame < 200; ++frame) {
        QByteArray bytes;
        bytes.append(char(2 * (frame % 31))).append(char(22)).append(char(50));
        QVERIFY(link->writeBytes(bytes).ok()); // returns although nothing can leave
        sent += bytes;
    }
    QCOMPARE(m_com1->readFor(200), QByteArray());

    m_com1->resume();
    QCOMPARE(m_com1->read(sent.size()), sent);
}

void TestSerialPortLink::pickingTheOpenPortAgainKeepsIt()
{
    auto link = makeLink(m_com1->slavePath());
    QVERIFY(link->Open(1).ok());
    m_com1->stall();
    QVERIFY(link->writeBytes(QByteArray("\x00\x16\x32", 3)).ok());

    // Reopening would drop the queued frame.
    QVERIFY(link->Open(1).ok());
    QCOMPARE(link->openPort(), 1);
    m_com1->resume();
    QCOMPARE(m_com1->read(3), QByteArray("\x00\x16\x32", 3));
}

void TestSerialPortLink::failedSwitchKeepsThePortInUse()
{
    auto link = makeLink(m_com1->slavePath(), u"/dev/tinkora-no-such-device"_qs);
    QVERIFY(link->Open(1).ok());

    const OpenResult result = link->Open(2);
    QCOMPARE(result.failure, OpenFailure::Missing);
    QCOMPARE(link->openPort(), 1);
    QVERIFY(link->writeBytes("\x02\x16\x32").ok());
    QCOMPARE(m_com1->read(3), QByteArray("\x02\x16\x32"));
}

void TestSerialPortLink::switchingPortsLosesNoByte()
{
    auto link = makeLink(m_com1->slavePath(), m_com2->slavePath());
    QVERIFY(link->Open(1).ok());
    m_com1->stall();
    QVERIFY(link->writeBytes(QByteArray("\x00\x16\x32", 3)).ok());

    QVERIFY(link->Open(2).ok());
    QCOMPARE(link->openPort(), 2);
    QVERIFY(link->writeBytes("\x02\x17\x33").ok());
    QCOMPARE(m_com2->read(3), QByteArray("\x02\x17\x33"));

    // The first port sends what it still held, then lets go of the device.
    QVERIFY(!canLock(m_com1->slavePath()));
    m_com1->resume();
    QCOMPARE(m_com1->read(3), QByteArray("\x00\x16\x32", 3));
    QTRY_VERIFY(canLock(m_com1->slavePath()));
    QVERIFY(!canLock(m_com2->slavePath()));
}

void TestSerialPortLink::pickingBackTheSendingPortReleasesTheOther()
{
    auto link = makeLink(m_com1->slavePath(), m_com2->slavePath());
    QVERIFY(link->Open(1).ok());
    m_com1->stall();
    QVERIFY(link->writeBytes(QByteArray("\x00\x16\x32", 3)).ok());
    QVERIFY(link->Open(2).ok());
    QVERIFY(link->Open(1).ok()); // back before COM1 could send its frame

    QCOMPARE(link->openPort(), 1);
    QTRY_VERIFY(canLock(m_com2->slavePath()));
    m_com1->resume();
    QCOMPARE(m_com1->read(3), QByteArray("\x00\x16\x32", 3));
}

void TestSerialPortLink::bothChoicesNamingOneDevice()
{
    // The same adapter by its kernel name and by a stable link, as udev makes them.
    QTemporaryDir dir;
    const QString link = dir.filePath(u"by-id-adapter"_qs);
    QVERIFY(QFile::link(m_com1->slavePath(), link));
    auto serial = makeLink(m_com1->slavePath(), link);
    QVERIFY(serial->Open(1).ok());

    const OpenResult result = serial->Open(2);
    QVERIFY2(result.ok(), qPrintable(openFailureReason(result))); // not "busy" from our own lock
    QCOMPARE(serial->openPort(), 2);
    QVERIFY(serial->writeBytes(QByteArray("\x02\x16\x32", 3)).ok());
    QCOMPARE(m_com1->read(3), QByteArray("\x02\x16\x32", 3));
}

void TestSerialPortLink::openFailures_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<OpenFailure>("failure");
    QTest::addColumn<SystemError>("systemError"); // the system's answer, kept where it came

    QTest::newRow("missing") << u"/dev/tinkora-no-such-device"_qs << OpenFailure::Missing
                             << SystemError::NoSuchFile;
    QTest::newRow("missing folder")
        << u"/nonexistent/ttyUSB0"_qs << OpenFailure::Missing << SystemError::NoSuchFile;
    QTest::newRow("not a serial port")
        << u"/dev/null"_qs << OpenFailure::NotATerminal << SystemError::NotATerminal;
    QTest::newRow("a socket") << u"socket"_qs << OpenFailure::NotATerminal
                              << SystemError::NoSuchDeviceOrAddress;
    QTest::newRow("a folder") << u"/dev"_qs << OpenFailure::Other << SystemError::IsADirectory;
    // Opening it makes a new pseudo-terminal that nobody reads: notes would go nowhere.
    QTest::newRow("a pseudo-terminal master")
        << u"/dev/ptmx"_qs << OpenFailure::NotATerminal << SystemError::None;
}

void TestSerialPortLink::openFailures()
{
    QFETCH(QString, path);
    QFETCH(OpenFailure, failure);
    QFETCH(SystemError, systemError);

    // A socket refuses open() with ENXIO, which other files give for a missing device.
    QTemporaryDir folder;
    int socket = -1;
    const auto closeSocket = qScopeGuard([&] {
        if (socket >= 0)
            ::close(socket);
    });
    if (path == u"socket") {
        path = folder.filePath(u"socket"_qs);
        socket = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        qstrncpy(address.sun_path, QFile::encodeName(path).constData(), sizeof address.sun_path);
        QCOMPARE(::bind(socket, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
    }

    auto link = makeLink(path);
    const OpenResult result = link->Open(1);
    QCOMPARE(result.failure, failure);
    QCOMPARE(result.systemError, systemError);
    QCOMPARE(result.device, path);
    QVERIFY(!openFailureReason(result).isEmpty());
    QCOMPARE(link->openPort(), 0);
    QCOMPARE(link->writeBytes(QByteArray(1, 0)).failure, WriteFailure::NotOpen);
}

void TestSerialPortLink::busyWhileAnotherLinkHasIt()
{
    auto first = makeLink(m_com1->slavePath());
    QVERIFY(first->Open(1).ok());

    auto second = makeLink(m_com1->slavePath());
    const OpenResult result = second->Open(1);
    QCOMPARE(result.failure, OpenFailure::Busy);
    QCOMPARE(second->openPort(), 0);

    // The refused attempt must not have disturbed the line of the one using it.
    const termios settings = m_com1->settings();
    QCOMPARE(cfgetospeed(&settings), speed_t(B2400));
    QVERIFY(first->writeBytes("\x04\x16\x32").ok());
    QCOMPARE(m_com1->read(3), QByteArray("\x04\x16\x32"));
}

void TestSerialPortLink::busyWhileAnotherProcessLocksIt()
{
    // A reader that merely has the device open, started first so its PID is the lower one.
    QProcess reader;
    reader.setStandardInputFile(m_com1->slavePath());
    reader.start(u"sleep"_qs, {u"1000"_qs});
    QVERIFY(reader.waitForStarted());
    const auto stopReader = qScopeGuard([&] {
        reader.kill();
        reader.waitForFinished();
    });
    QProcess holder;
    // --close: only flock itself holds the lock, so it ends when flock does.
    holder.start(u"flock"_qs, {u"--exclusive"_qs, u"--nonblock"_qs, u"--close"_qs,
                               m_com1->slavePath(), u"--command"_qs, u"echo locked; read line"_qs});
    QVERIFY(holder.waitForReadyRead(10000));
    QCOMPARE(holder.readAll().trimmed(), QByteArray("locked"));

    auto link = makeLink(m_com1->slavePath());
    const OpenResult result = link->Open(1);
    QCOMPARE(result.failure, OpenFailure::Busy);
    QCOMPARE(link->openPort(), 0);
    // The lock's holder is named, by the window and by tinkora-send alike.
    QCOMPARE(result.holder, u"flock"_qs);
    QCOMPARE(result.holderPid, holder.processId());
    QCOMPARE(openFailureReason(result),
             u"le port est déjà utilisé par flock (PID %1)"_qs.arg(holder.processId()));

    holder.closeWriteChannel();
    QVERIFY(holder.waitForFinished(10000));
    QVERIFY(link->Open(1).ok());
}

void TestSerialPortLink::permissionDeniedToAnotherUser()
{
    // Root opens anything, so the attempt is made by an unprivileged user (nobody), as a user
    // outside the dialout group would make it.
    QProcess probe;
    probe.start(u"setpriv"_qs, {u"--reuid=65534"_qs, u"--regid=65534"_qs, u"--clear-groups"_qs,
                                u"--"_qs, QStringLiteral(OPENPROBE), m_com1->slavePath()});
    QVERIFY(probe.waitForFinished(20000));
    if (probe.exitCode() == 126 || probe.exitCode() == 127) // setpriv could not start it
        QSKIP(qPrintable(u"cannot run as another user here: "_qs +
                         QString::fromLocal8Bit(probe.readAllStandardError())));
    QCOMPARE(probe.exitStatus(), QProcess::NormalExit);
    QCOMPARE(probe.exitCode(), 0);
    const QString output = QString::fromUtf8(probe.readAllStandardOutput()).trimmed();
    QCOMPARE(output.section(u' ', 0, 0).toInt(), int(OpenFailure::PermissionDenied));
    QCOMPARE(output.section(u' ', 1), u"accès refusé"_qs);
    // A pseudo-terminal does not belong to dialout: joining it would not help, so the warning
    // says whose the device is, as ls -l shows it.
    QProcess stat;
    stat.start(u"stat"_qs, {u"--format=%U, groupe %G, droits %A"_qs, m_com1->slavePath()});
    QVERIFY(stat.waitForFinished(10000));
    const QString owner = QString::fromUtf8(stat.readAllStandardOutput()).trimmed();
    const QString advice = QString::fromUtf8(probe.readAllStandardError());
    QVERIFY2(advice.contains(u"appartient à "_qs + owner), qPrintable(advice + u" / "_qs + owner));
    QVERIFY2(!advice.contains(u"dialout"_qs), qPrintable(advice));
}

// Runs openprobe (through program, when it is a wrapper) and returns what it printed.
QString TestSerialPortLink::probe(const QString &program, const QStringList &arguments,
                                  const QString &standardInput)
{
    QProcess process;
    if (!standardInput.isEmpty())
        process.setStandardInputFile(standardInput);
    process.start(program, arguments);
    if (!process.waitForFinished(20000) || process.exitStatus() != QProcess::NormalExit)
        return u"did not finish: "_qs + QString::fromLocal8Bit(process.readAllStandardError());
    if (process.exitCode() != 0)
        return u"exit %1: "_qs.arg(process.exitCode()) +
               QString::fromLocal8Bit(process.readAllStandardError());
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

void TestSerialPortLink::staleLockFileIsNamed()
{
    // A program of another account ended without removing its lock file; the sticky lock folder
    // keeps us from removing it, so Qt refuses the device although nobody holds it.
    const QString lockFile = u"/var/lock/LCK.."_qs + m_com1->slavePath().mid(5).replace(u'/', u'_');
    QProcess gone;
    gone.start(u"true"_qs, QStringList());
    QVERIFY(gone.waitForStarted(10000));
    const qint64 deadPid = gone.processId();
    QVERIFY(gone.waitForFinished(10000));
    QFile::remove(lockFile); // a crashed run's, for a terminal of the same number
    QFile file(lockFile);
    QVERIFY2(file.open(QIODevice::WriteOnly | QIODevice::NewOnly), qPrintable(lockFile));
    file.write(QByteArray::number(deadPid) + "\nminicom\nhere\n");
    file.close();
    auto removeLock = qScopeGuard([&] { QFile::remove(lockFile); });
    QVERIFY(QFile::setPermissions(m_com1->slavePath(), QFile::ReadOwner | QFile::WriteOwner |
                                                           QFile::ReadOther | QFile::WriteOther));

    const QString output =
        probe(u"setpriv"_qs, {u"--reuid=65534"_qs, u"--regid=65534"_qs, u"--clear-groups"_qs,
                              u"--"_qs, QStringLiteral(OPENPROBE), m_com1->slavePath()});
    if (output.startsWith(u"exit 126"_qs) || output.startsWith(u"exit 127"_qs))
        QSKIP(qPrintable(u"cannot run as another user here: "_qs + output));
    QCOMPARE(output.section(u' ', 0, 0).toInt(), int(OpenFailure::StaleLock));
    QCOMPARE(output.section(u' ', 1),
             u"le fichier de verrou %1 le bloque encore, alors que le programme qui l'a laissé ne "
             "tourne plus"_qs.arg(lockFile));
    QVERIFY(QFile::exists(lockFile)); // not ours to remove
}

void TestSerialPortLink::ownTerminalIsRefused_data()
{
    QTest::addColumn<QString>("program"); // openprobe, or setsid making the terminal its own
    QTest::addColumn<QString>("device");  // "stdin" for the terminal given as standard input
    QTest::addColumn<OpenFailure>("failure");

    const QString probe = QStringLiteral(OPENPROBE);
    QTest::newRow("controlling terminal as /dev/tty")
        << u"setsid"_qs << u"/dev/tty"_qs << OpenFailure::OwnTerminal;
    QTest::newRow("controlling terminal by name")
        << u"setsid"_qs << u"stdin"_qs << OpenFailure::OwnTerminal;
    QTest::newRow("terminal of stdin") << probe << u"stdin"_qs << OpenFailure::OwnTerminal;
    QTest::newRow("terminal of stdin through a link")
        << probe << u"link"_qs << OpenFailure::OwnTerminal;
    QTest::newRow("another terminal") << probe << u"other"_qs << OpenFailure::None;
}

void TestSerialPortLink::ownTerminalIsRefused()
{
    QFETCH(QString, program);
    QFETCH(QString, device);
    QFETCH(OpenFailure, failure);

    const QString terminal = m_com1->slavePath();
    QTemporaryDir dir;
    QVERIFY(QFile::link(terminal, dir.filePath(u"link"_qs)));
    const QString path = device == u"stdin"_qs   ? terminal
                         : device == u"link"_qs  ? dir.filePath(u"link"_qs)
                         : device == u"other"_qs ? m_com2->slavePath()
                                                 : device;
    QStringList arguments{path};
    if (program == u"setsid"_qs)
        arguments = QStringList{u"--ctty"_qs, QStringLiteral(OPENPROBE), path};

    const QString output = probe(program, arguments, terminal);
    QCOMPARE(output.section(u' ', 0, 0), QString::number(int(failure)));
    if (failure == OpenFailure::OwnTerminal)
        QCOMPARE(output.section(u' ', 1),
                 u"c'est le terminal dans lequel Tinkora tourne, pas un port série"_qs);
    const termios settings = m_com1->settings();
    QVERIFY(cfgetospeed(&settings) != B2400); // left as the user had it
}

void TestSerialPortLink::unpluggedDeviceIsReportedOnce()
{
    auto link = makeLink(m_com1->slavePath());
    QVERIFY(link->Open(1).ok());
    QSignalSpy lost(link.get(), &SerialPortLink::portLost);
    QSignalSpy errors(link->findChild<QSerialPort *>(), &QSerialPort::errorOccurred);

    m_com1->unplug();
    QVERIFY(lost.wait(5000));
    QCOMPARE(lost.first().at(0).toInt(), 1);
    QCOMPARE(lost.first().at(1).toString(), m_com1->slavePath());
    QCOMPARE(link->openPort(), 0);

    // Qt repeats the error until the port is closed: it must be closed at once, and only once.
    QTest::qWait(300);
    QCOMPARE(lost.size(), 1);
    QVERIFY2(errors.size() < 50, qPrintable(QString::number(errors.size())));
    QCOMPARE(link->writeBytes(QByteArray(1, 0)).failure, WriteFailure::NotOpen);

    // The device comes back under the same name: picking it again works.
    auto replugged = std::make_unique<PseudoTerminal>();
    auto relink = makeLink(replugged->slavePath());
    QVERIFY(relink->Open(1).ok());
}

void TestSerialPortLink::adapterPluggedBackUnderItsName()
{
    // The name stays while the adapter behind it changes, as with udev's links: the same link,
    // once told of the loss, opens the new device at the next pick and writes to it.
    QTemporaryDir dir;
    const QString name = dir.filePath(u"ttyUSB0"_qs);
    QVERIFY(QFile::link(m_com1->slavePath(), name));
    auto link = makeLink(name);
    QVERIFY(link->Open(1).ok());
    QVERIFY(link->writeBytes(QByteArray("\x00\x16\x32", 3)).ok());
    QCOMPARE(m_com1->read(3), QByteArray("\x00\x16\x32", 3));
    QSignalSpy lost(link.get(), &SerialPortLink::portLost);
    m_com1->unplug();
    QVERIFY(lost.wait(5000));

    QVERIFY(QFile::remove(name));
    QVERIFY(QFile::link(m_com2->slavePath(), name));
    const OpenResult reopened = link->Open(1);
    QVERIFY2(reopened.ok(), qPrintable(openFailureReason(reopened)));
    QVERIFY(link->writeBytes(QByteArray("\x02\x16\x32", 3)).ok());
    QCOMPARE(m_com2->read(3), QByteArray("\x02\x16\x32", 3));
    QCOMPARE(lost.size(), 1);
}

void TestSerialPortLink::bytesLostInAnUnplugAreReported()
{
    auto link = makeLink(m_com1->slavePath());
    QVERIFY(link->Open(1).ok());
    QSignalSpy lost(link.get(), &SerialPortLink::portLost);
    m_com1->stall();
    QCOMPARE(link->writeBytes(QByteArray("\x00\x16\x32", 3)).sequence, 1u);
    QCOMPARE(link->writeBytes(QByteArray("\x02\x16\x32", 3)).sequence, 2u);
    QCOMPARE(link->findChild<QSerialPort *>()->bytesToWrite(), 6); // queued behind the stall
    m_com1->unplug();

    QVERIFY(lost.wait(5000));
    const PortLoss loss = lost.first().at(2).value<PortLoss>();
    QCOMPARE(loss.unsentBytes, 6);
    QCOMPARE(loss.unsent.count, 2);
    QCOMPARE(loss.unsent.first, 1u);
    QCOMPARE(loss.unsent.last, 2u);
}

void TestSerialPortLink::writesLeaveWholeOrNot_data()
{
    QTest::addColumn<int>("stillQueued"); // of four frames, numbered 11 to 14
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("count");

    QTest::newRow("all left") << 0 << 0 << 0;
    QTest::newRow("last frame waits") << 3 << 14 << 1;
    QTest::newRow("frame cut after its first byte") << 7 << 12 << 3;
    QTest::newRow("frame cut before its last byte") << 4 << 13 << 2;
    QTest::newRow("one byte left") << 11 << 11 << 4;
    QTest::newRow("nothing left") << 12 << 11 << 4;
}

void TestSerialPortLink::writesLeaveWholeOrNot()
{
    QFETCH(int, stillQueued);
    QFETCH(int, first);
    QFETCH(int, count);

    WriteLedger ledger;
    for (quint64 sequence = 11; sequence <= 14; ++sequence)
        ledger.handOver(3, sequence);
    const UnsentWrites unsent = ledger.unsent(stillQueued);
    QCOMPARE(unsent.count, count);
    QCOMPARE(unsent.first, quint64(first));
    QCOMPARE(unsent.last, count == 0 ? 0u : 14u);
}

void TestSerialPortLink::closeRightAfterWriteSendsEverything()
{
    auto link = makeLink(m_com1->slavePath());
    QVERIFY(link->Open(1).ok());
    QVERIFY(link->writeBytes("\x3c\x24\xff").ok());
    link.reset(); // no event loop ran: the bytes were still queued
    QCOMPARE(m_com1->read(3), QByteArray("\x3c\x24\xff"));
}

void TestSerialPortLink::lineIsPutBackAfterTheLastByte()
{
    // The user's other programs find the device as it was; but only once the last byte has
    // left, or it would leave at the old speed (here: a line feed turned into two bytes).
    termios before = m_com1->settings();
    cfsetspeed(&before, B9600);
    before.c_oflag |= OPOST | ONLCR;
    m_com1->setSettings(before);

    auto link = makeLink(m_com1->slavePath());
    QVERIFY(link->Open(1).ok());
    QVERIFY(link->writeBytes(QByteArray("\x3c\x0a\xff", 3)).ok());
    link.reset();
    QCOMPARE(m_com1->read(3), QByteArray("\x3c\x0a\xff"));
    const termios after = m_com1->settings();
    QCOMPARE(cfgetospeed(&after), speed_t(B9600));
    QCOMPARE(after.c_oflag & (OPOST | ONLCR), tcflag_t(OPOST | ONLCR));
}

void TestSerialPortLink::closingOnAStalledLineReturns()
{
    auto link = makeLink(m_com1->slavePath());
    QVERIFY(link->Open(1).ok());
    m_com1->stall();
    QVERIFY(link->writeBytes(QByteArray("\x00\x16\x32", 3)).ok());
    link->flushAndClose(std::chrono::milliseconds(200)); // must give up, not hang
    QCOMPARE(link->openPort(), 0);
    QVERIFY(canLock(m_com1->slavePath()));
}

void TestSerialPortLink::deviceReplacedUnderAPortSendsWhatItHeld()
{
    // COM1 follows the ports present: an adapter plugged in ahead of the one in use takes its
    // place at the next click, and the notes still waiting for the old one must not vanish.
    auto port = [](const QString &device) {
        PortDescription description;
        description.device = device;
        return description;
    };
    QList<PortDescription> present{port(m_com1->slavePath())};
    SerialPortLink link(PortMap([&present] { return present; }));
    QVERIFY(link.Open(1).ok());
    QSignalSpy lost(&link, &SerialPortLink::portLost);
    m_com1->stall();
    QVERIFY(link.writeBytes(QByteArray("\x00\x16\x32", 3)).ok());

    present.prepend(port(m_com2->slavePath()));
    const OpenResult reopened = link.Open(1);
    QVERIFY2(reopened.ok(), qPrintable(openFailureReason(reopened)));
    QCOMPARE(reopened.device, m_com2->slavePath());
    QVERIFY(link.writeBytes(QByteArray("\x02\x16\x32", 3)).ok());
    QCOMPARE(m_com2->read(3), QByteArray("\x02\x16\x32", 3));

    m_com1->resume();
    QCOMPARE(m_com1->read(3), QByteArray("\x00\x16\x32", 3));
    QTRY_VERIFY(canLock(m_com1->slavePath())); // then it lets go of the old device
    QCOMPARE(lost.size(), 0);
}

void TestSerialPortLink::nothingCountsAsSentOnAVanishingDevice()
{
    // The driver's queue goes with the device: until the loss is told, a frame written just
    // before cannot be taken as arrived.
    auto link = makeLink(m_com1->slavePath());
    QVERIFY(link->Open(1).ok());
    QVERIFY(link->writeBytes(QByteArray("\x00\x16\x32", 3)).ok());
    m_com1->unplug();
    QVERIFY(!link->allSent());
}

QTEST_GUILESS_MAIN(TestSerialPortLink)
#include "tst_serialportlink.moc"
