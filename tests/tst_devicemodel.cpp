// SPDX-License-Identifier: GPL-3.0-or-later
#include "bytes.h"
#include "devicelink.h"
#include "eepromimage.h"
#include "framedecoder.h"
#include "linecheck.h"
#include "melodyrenderer.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

class TestDeviceModel : public QObject {
    Q_OBJECT
private slots:
    void frames_data();
    void frames();
    void framesSplitAcrossReads();
    void eepromAfterRewritesOfSlot31();
    void oddAddressOverwritesTheNextSlot();
    void pitch();
    void wavLengthAndSound();
    void lineSettings_data();
    void lineSettings();
    void linkNeverReplacesAFile_data();
    void linkNeverReplacesAFile();
    void aLiveStandInsLinkIsRefused();
    void readerGoneKeepsServing();
    void stopsWhileItsOutputIsFull();
    void unwritableFilesAreSaid();
    void scriptedRuns_data();
    void scriptedRuns();

private:
    static qint64 pidIn(const QString &lockFile);
    static void writeFrames(const QString &device, const QByteArray &bytes);
};

qint64 TestDeviceModel::pidIn(const QString &lockFile)
{
    QFile file(lockFile);
    return file.open(QIODevice::ReadOnly) ? file.readLine().trimmed().toLongLong() : 0;
}

void TestDeviceModel::writeFrames(const QString &device, const QByteArray &bytes)
{
    const int fd = ::open(QFile::encodeName(device).constData(), O_WRONLY | O_NOCTTY | O_NONBLOCK);
    QVERIFY(fd >= 0);
    qsizetype done = 0;
    while (done < bytes.size()) {
        pollfd entry{fd, POLLOUT, 0};
        ::poll(&entry, 1, -1);
        const ssize_t written = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (written > 0)
            done += written;
    }
    ::close(fd);
}

void TestDeviceModel::frames_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QStringList>("lines");

    QTest::newRow("first note") << bytes({0, 22, 50})
                                << QStringList{u"Note 1 @0 : La3, 50 (0,50 s)"_qs};
    QTest::newRow("last slot") << bytes({60, 36, 8})
                               << QStringList{u"Note 31 @60 : Si4, 8 (0,08 s)"_qs};
    QTest::newRow("folded durations")
        << bytes({0, 1, 253, 2, 1, 254, 4, 1, 255})
        << QStringList{u"Note 1 @0 : Do2, 253 (2,66 s)"_qs, u"Note 2 @2 : Do2, 254 (3,00 s)"_qs,
                       u"Note 3 @4 : Do2, 255 (4,00 s)"_qs};
    QTest::newRow("silence") << bytes({2, 0, 100})
                             << QStringList{u"Note 2 @2 : silence, 100 (1,00 s)"_qs};
    QTest::newRow("odd address") << bytes({7, 22, 50})
                                 << QStringList{
                                        u"Note ? @7 : La3, 50 (0,50 s)  !! adresse impaire"_qs};
    QTest::newRow("beyond slot 31")
        << bytes({62, 22, 50})
        << QStringList{u"Note ? @62 : La3, 50 (0,50 s)  !! adresse au-delà de 60"_qs};
    QTest::newRow("unknown note, zero duration")
        << bytes({0, 37, 0})
        << QStringList{u"Note 1 @0 : ?, 0 (0,00 s)  !! code de note au-delà de 36, durée nulle"_qs};
    QTest::newRow("everything wrong")
        << bytes({255, 255, 0})
        << QStringList{u"Note ? @255 : ?, 0 (0,00 s)  !! adresse impaire, adresse au-delà de 60, "
                       "code de note au-delà de 36, durée nulle"_qs};
    QTest::newRow("incomplete frame waits") << bytes({0, 22}) << QStringList();
}

void TestDeviceModel::frames()
{
    QFETCH(QByteArray, input);
    QFETCH(QStringList, lines);

    FrameDecoder decoder;
    QStringList described;
    for (const DeviceFrame &frame : decoder.feed(input))
        described << frame.describe();
    QCOMPARE(described, lines);
    QCOMPARE(decoder.pendingBytes(), int(input.size() % 3));
}

void TestDeviceModel::framesSplitAcrossReads()
{
    FrameDecoder decoder;
    const QByteArray stream = bytes({0, 22, 50, 2, 25, 25, 4});
    std::vector<DeviceFrame> frames;
    for (char byte : stream) {
        for (const DeviceFrame &frame : decoder.feed(QByteArrayView(&byte, 1)))
            frames.push_back(frame);
    }
    QCOMPARE(frames.size(), 2u);
    QCOMPARE(frames[1].address, 2);
    QCOMPARE(frames[1].noteCode, 25);
    QCOMPARE(frames[1].durationByte, 25);
    QCOMPARE(decoder.pendingBytes(), 1);
}

void TestDeviceModel::eepromAfterRewritesOfSlot31()
{
    EepromImage image;
    for (int slot = 1; slot <= 31; ++slot)
        image.store({quint8(2 * (slot - 1)), quint8(slot), 50});
    image.store({60, 22, 100});
    image.store({60, 1, 255}); // the 33rd transfer rewrites slot 31 again

    const QByteArray eeprom = image.bytes();
    QCOMPARE(eeprom.size(), 64);
    QCOMPARE(eeprom.left(4), bytes({1, 50, 2, 50}));
    QCOMPARE(eeprom.mid(58, 6), bytes({30, 50, 1, 255, 0, 0}));

    const auto melody = image.melody();
    QCOMPARE(melody.size(), 31u);
    QCOMPARE(melody.back().slot, 31);
    QCOMPARE(melody.back().noteCode, 1);
    QCOMPARE(melody.back().durationByte, 255);
}

void TestDeviceModel::oddAddressOverwritesTheNextSlot()
{
    EepromImage image;
    image.store({8, 22, 50});
    image.store({7, 13, 40});  // its duration byte lands on slot 5's note code
    image.store({63, 30, 20}); // the duration byte would fall off the chip
    QCOMPARE(image.bytes().mid(6, 4), bytes({0, 13, 40, 50}));
    QCOMPARE(image.bytes().at(63), char(30));
    const auto melody = image.melody();
    QCOMPARE(melody.size(), 1u);
    QCOMPARE(melody.front().slot, 5);
    QCOMPARE(melody.front().noteCode, 40);
}

void TestDeviceModel::pitch()
{
    QCOMPARE(NoteTone::frequency(22), 440.0);
    QCOMPARE(NoteTone::frequency(34), 880.0);
    QCOMPARE(NoteTone::frequency(10), 220.0);
    QVERIFY(qAbs(NoteTone::frequency(1) - 130.813) < 0.001); // Do2, an octave and a half below
    QCOMPARE(NoteTone::frequency(0), 0.0);
    QCOMPARE(NoteTone::frequency(37), 0.0);
}

void TestDeviceModel::wavLengthAndSound()
{
    // La3 for 0.5 s, a silence of 1 s, Do4 for 2.66 s.
    const std::vector<EepromImage::Slot> melody{{1, 0, 22, 50}, {2, 2, 0, 100}, {3, 4, 25, 253}};
    const QByteArray wav = MelodyRenderer::render(melody);

    const int samples = 441 * (50 + 100 + 266);
    QCOMPARE(wav.size(), 44 + 2 * samples);
    QCOMPARE(wav.left(4), QByteArray("RIFF"));
    QCOMPARE(wav.mid(8, 8), QByteArray("WAVEfmt "));
    QCOMPARE(qFromLittleEndian<quint32>(wav.constData() + 24), 44100u);
    QCOMPARE(qFromLittleEndian<quint16>(wav.constData() + 34), 16u);
    QCOMPARE(qFromLittleEndian<quint32>(wav.constData() + 40), quint32(2 * samples));

    auto peak = [&wav](int fromUnit, int toUnit) {
        int loudest = 0;
        for (int i = fromUnit * 441; i < toUnit * 441; ++i)
            loudest =
                qMax(loudest, qAbs(int(qFromLittleEndian<qint16>(wav.constData() + 44 + 2 * i))));
        return loudest;
    };
    QVERIFY(peak(1, 49) > 8000);
    QCOMPARE(peak(50, 150), 0);
    QVERIFY(peak(151, 415) > 8000);
    // Short fades: each note starts and ends at silence, so joins do not click.
    QCOMPARE(qFromLittleEndian<qint16>(wav.constData() + 44), 0);
    QVERIFY(qAbs(qFromLittleEndian<qint16>(wav.constData() + 44 + 2 * (50 * 441 - 1))) < 200);
}

void TestDeviceModel::lineSettings_data()
{
    QTest::addColumn<int>("change");
    QTest::addColumn<QStringList>("problems");

    QTest::newRow("raw 2400 8N1") << 0 << QStringList();
    QTest::newRow("9600 baud") << 1
                               << QStringList{u"émission à 9600 bauds au lieu de 2400"_qs,
                                              u"réception à 9600 bauds au lieu de 2400"_qs};
    QTest::newRow("two stop bits") << 2 << QStringList{u"2 bits d'arrêt"_qs};
    QTest::newRow("output processing")
        << 3 << QStringList{u"sortie transformée (OPOST : fins de ligne réécrites)"_qs};
    QTest::newRow("hardware flow control")
        << 4 << QStringList{u"contrôle de flux matériel (CRTSCTS)"_qs};
    QTest::newRow("software flow control") << 5 << QStringList{u"contrôle de flux XON/XOFF"_qs};
    QTest::newRow("canonical mode")
        << 6 << QStringList{u"mode non brut (ICANON, ECHO, ISIG ou IEXTEN)"_qs};
    QTest::newRow("seven data bits") << 7 << QStringList{u"pas 8 bits de données"_qs};
    QTest::newRow("parity") << 8 << QStringList{u"parité active"_qs};
}

void TestDeviceModel::lineSettings()
{
    QFETCH(int, change);
    QFETCH(QStringList, problems);

    termios settings{};
    cfmakeraw(&settings);
    cfsetspeed(&settings, B2400);
    switch (change) {
    case 1:
        cfsetspeed(&settings, B9600);
        break;
    case 2:
        settings.c_cflag |= CSTOPB;
        break;
    case 3:
        settings.c_oflag |= OPOST | ONLCR;
        break;
    case 4:
        settings.c_cflag |= CRTSCTS;
        break;
    case 5:
        settings.c_iflag |= IXON | IXOFF;
        break;
    case 6:
        settings.c_lflag |= ICANON | ECHO;
        break;
    case 7:
        settings.c_cflag = (settings.c_cflag & ~CSIZE) | CS7;
        break;
    case 8:
        settings.c_cflag |= PARENB;
        break;
    }
    QCOMPARE(lineProblems(settings), problems);
}

void TestDeviceModel::linkNeverReplacesAFile_data()
{
    QTest::addColumn<QString>("existing"); // what stands at the path before
    QTest::addColumn<bool>("made");

    QTest::newRow("nothing") << QString() << true;
    QTest::newRow("regular file") << u"file"_qs << false;
    QTest::newRow("folder") << u"folder"_qs << false;
    QTest::newRow("link to a file") << u"link to file"_qs << false;
    QTest::newRow("stale stand-in link") << u"stale link"_qs << true;
    // Into the pseudo-terminal folder, but no stand-in's lock file names it.
    QTest::newRow("user's own link to a pty") << u"user link"_qs << false;
}

void TestDeviceModel::linkNeverReplacesAFile()
{
    QFETCH(QString, existing);
    QFETCH(bool, made);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(u"com1"_qs);
    const QString file = dir.filePath(u"notes.txt"_qs);
    QFile notes(file);
    QVERIFY(notes.open(QIODevice::WriteOnly));
    notes.write("la melodie de Papa");
    notes.close();
    if (existing == u"file"_qs)
        QVERIFY(QFile::copy(file, path));
    else if (existing == u"folder"_qs)
        QVERIFY(QDir(dir.path()).mkdir(u"com1"_qs));
    else if (existing == u"link to file"_qs)
        QVERIFY(QFile::link(file, path));
    else if (existing == u"stale link"_qs || existing == u"user link"_qs)
        QVERIFY(QFile::link(u"/dev/pts/999999"_qs, path));
    if (existing == u"stale link"_qs) { // what a stand-in killed outright leaves
        QFile lock(DeviceLink::lockPathFor(path));
        QVERIFY(lock.open(QIODevice::WriteOnly));
        lock.write("999999\n/dev/pts/999999\n");
    }

    const QFileInfo before(path);
    const QString device = u"/dev/pts/0"_qs;
    {
        DeviceLink link;
        QString error;
        QCOMPARE(link.make(device, path, error), made);
        QCOMPARE(QFileInfo(path).symLinkTarget() == device, made);
        if (!made) {
            QVERIFY2(error.contains(u"n'est pas un lien laissé par tinkora-device"_qs),
                     qPrintable(error));
            QCOMPARE(QFileInfo(path).isDir(), before.isDir());
            QCOMPARE(QFileInfo(path).isSymLink(), before.isSymLink());
        }
    } // ends as the stand-in does
    QCOMPARE(QFileInfo(path).isSymLink() || QFileInfo::exists(path), !made);
    if (existing == u"file"_qs) {
        QFile kept(path);
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), QByteArray("la melodie de Papa"));
    }
}

// A second stand-in asked for the same link refuses it, naming the first one's PID; the first
// one's link outlives that attempt and goes with it.
void TestDeviceModel::aLiveStandInsLinkIsRefused()
{
    QTemporaryDir dir;
    const QString link = dir.filePath(u"com1"_qs);
    QProcess first;
    first.start(QStringLiteral(TINKORA_DEVICE), {u"--link"_qs, link});
    QVERIFY(first.waitForReadyRead(10000));
    const QString target = QFileInfo(link).symLinkTarget();
    QVERIFY(target.startsWith(u"/dev/pts/"_qs));

    QProcess second;
    second.start(QStringLiteral(TINKORA_DEVICE), {u"--link"_qs, link});
    QVERIFY(second.waitForFinished(10000));
    QCOMPARE(second.exitCode(), 1);
    const QString error = QString::fromUtf8(second.readAllStandardError());
    QVERIFY2(error.contains(u"(PID %1)"_qs.arg(first.processId())), qPrintable(error));
    QCOMPARE(QFileInfo(link).symLinkTarget(), target);

    first.terminate();
    QVERIFY(first.waitForFinished(10000));
    QVERIFY(!QFileInfo(link).isSymLink());
    QVERIFY(!QFileInfo::exists(DeviceLink::lockPathFor(link)));
}

// "| head -1": the reader goes after the first line; the stand-in serves on, then still writes
// its EEPROM image and removes its link.
void TestDeviceModel::readerGoneKeepsServing()
{
    QTemporaryDir dir;
    const QString link = dir.filePath(u"com1"_qs);
    const QString eeprom = dir.filePath(u"e.bin"_qs);
    QProcess shell;
    shell.start(u"bash"_qs,
                {u"-c"_qs, u"set -o pipefail; \"$0\" \"$@\" | head -1"_qs,
                 QStringLiteral(TINKORA_DEVICE), u"--link"_qs, link, u"--eeprom"_qs, eeprom});
    QVERIFY(shell.waitForReadyRead(10000));
    QVERIFY(shell.readLine().startsWith("Carte simulée"));
    writeFrames(link, bytes({0, 22, 50}));
    const qint64 pid = pidIn(DeviceLink::lockPathFor(link));
    QVERIFY(pid > 0);
    QCOMPARE(::kill(pid_t(pid), SIGTERM), 0);
    QVERIFY(shell.waitForFinished(10000));
    QCOMPARE(shell.exitCode(), 0); // the stand-in's own, through pipefail
    QFile image(eeprom);
    QVERIFY(image.open(QIODevice::ReadOnly));
    QCOMPARE(image.size(), 64);
    QVERIFY(!QFileInfo(link).isSymLink());
}

// Its output a pipe nobody reads: SIGTERM still ends it, with its link removed.
void TestDeviceModel::stopsWhileItsOutputIsFull()
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath(u"out"_qs);
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const int reader = ::open(QFile::encodeName(fifo).constData(), O_RDONLY | O_NONBLOCK);
    QVERIFY(reader >= 0);
    const auto closeReader = qScopeGuard([reader] { ::close(reader); });
    const QString link = dir.filePath(u"com1"_qs);
    QProcess device;
    device.setStandardOutputFile(fifo);
    device.start(QStringLiteral(TINKORA_DEVICE), {u"--link"_qs, link});
    QVERIFY(device.waitForStarted());
    QTRY_VERIFY(QFileInfo(link).isSymLink());
    // 4000 lines of about 30 bytes: twice what the pipe holds.
    writeFrames(link, bytes({0, 22, 50}).repeated(4000));
    device.terminate();
    QVERIFY(device.waitForFinished(10000));
    QCOMPARE(device.exitStatus(), QProcess::NormalExit);
    QVERIFY(!QFileInfo(link).isSymLink());
}

void TestDeviceModel::unwritableFilesAreSaid()
{
    QTemporaryDir dir;
    const QString link = dir.filePath(u"com1"_qs);
    // /dev/full is no regular file: refused at once, before the board starts.
    QProcess full;
    full.start(QStringLiteral(TINKORA_DEVICE),
               {u"--link"_qs, link, u"--eeprom"_qs, u"/dev/full"_qs});
    QVERIFY(full.waitForFinished(10000));
    QCOMPARE(full.exitCode(), 1);
    QVERIFY(QString::fromUtf8(full.readAllStandardError()).contains(u"/dev/full"_qs));
    QVERIFY(!QFileInfo(link).isSymLink());

    const QString kept = dir.filePath(u"kept.wav"_qs);
    QFile earlier(kept);
    QVERIFY(earlier.open(QIODevice::WriteOnly));
    earlier.write("earlier");
    earlier.close();
    // A file-size limit of one block: the WAV of one note cannot be written whole.
    QProcess device;
    device.start(u"bash"_qs,
                 {u"-c"_qs, u"ulimit -f 1; exec \"$0\" \"$@\""_qs, QStringLiteral(TINKORA_DEVICE),
                  u"--link"_qs, link, u"--wav"_qs, kept});
    QVERIFY(device.waitForStarted());
    QTRY_VERIFY(QFileInfo(link).isSymLink());
    writeFrames(link, bytes({0, 22, 50}));
    device.terminate();
    QVERIFY(device.waitForFinished(10000));
    QCOMPARE(device.exitStatus(), QProcess::NormalExit);
    QCOMPARE(device.exitCode(), 1);
    const QString error = QString::fromUtf8(device.readAllStandardError());
    QVERIFY2(error.contains(u"Impossible d'écrire"_qs) && error.contains(u"trop gros"_qs),
             qPrintable(error));
    QVERIFY(earlier.open(QIODevice::ReadOnly));
    QCOMPARE(earlier.readAll(), QByteArray("earlier"));
    QVERIFY(!QFileInfo(link).isSymLink());
}

void TestDeviceModel::scriptedRuns_data()
{
    QTest::addColumn<QByteArray>("frames");
    QTest::addColumn<QString>("said"); // besides the start line
    QTest::newRow("no note: the earlier files kept")
        << QByteArray() << u"Aucune trame reçue : %1 reste tel quel."_qs;
    QTest::newRow("one note, in the singular")
        << bytes({0, 22, 50}) << u"Mélodie en EEPROM (1 note) :"_qs;
}

// As scripts/run starts it: it says nothing of starting the window or of Ctrl-C, names each
// file once, and a run that got no note leaves the earlier run's files alone.
void TestDeviceModel::scriptedRuns()
{
    QFETCH(QByteArray, frames);
    QFETCH(QString, said);
    QTemporaryDir dir;
    const QString link = dir.filePath(u"com1"_qs);
    const QString wav = dir.filePath(u"melodie.wav"_qs);
    const QString eeprom = dir.filePath(u"melodie.eeprom"_qs);
    for (const QString &path : {wav, eeprom}) {
        QFile earlier(path);
        QVERIFY(earlier.open(QIODevice::WriteOnly));
        earlier.write("earlier");
    }
    QProcess device;
    device.start(QStringLiteral(TINKORA_DEVICE),
                 {u"--scripted"_qs, u"--link"_qs, link, u"--wav"_qs, wav, u"--eeprom"_qs, eeprom});
    QTRY_VERIFY(QFileInfo(link).isSymLink());
    writeFrames(link, frames);
    if (!frames.isEmpty())
        QTRY_VERIFY(device.peek(1 << 16).contains("Note 1 @0"));
    device.terminate();
    QVERIFY(device.waitForFinished(10000));
    QCOMPARE(device.exitCode(), 0);
    const QString out = QString::fromUtf8(device.readAllStandardOutput());
    QVERIFY2(out.startsWith(u"Carte simulée sur %1.\n"_qs.arg(link)), qPrintable(out));
    QVERIFY2(!out.contains(u"lancez tinkora"_qs) && !out.contains(u"Ctrl-C"_qs), qPrintable(out));
    QVERIFY2(out.contains(said.arg(wav)), qPrintable(out));
    QCOMPARE(out.count(wav), 1);
    QFile kept(wav);
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll() == "earlier", frames.isEmpty());
}

QTEST_GUILESS_MAIN(TestDeviceModel)
#include "tst_devicemodel.moc"
