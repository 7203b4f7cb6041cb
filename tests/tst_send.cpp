// SPDX-License-Identifier: GPL-3.0-or-later
#include "bytes.h"
#include "pseudoterminal.h"
#include "recordinglink.h"
#include "recordingview.h"
#include "transfercommand.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <poll.h>

namespace {

const QString kExamples = QStringLiteral(EXAMPLES_DIR);

struct Run {
    int exitCode = -1;
    QString out;
    QString err;
};

Run runSend(const QStringList &arguments)
{
    QProcess send;
    send.start(QStringLiteral(TINKORA_SEND), arguments);
    send.waitForFinished(20000);
    return {send.exitStatus() == QProcess::NormalExit ? send.exitCode() : -1,
            QString::fromUtf8(send.readAllStandardOutput()),
            QString::fromUtf8(send.readAllStandardError())};
}

QStringList frameLines(const QString &output)
{
    return output.split(u'\n').filter(QRegularExpression(u"^Note \\d+ @"_qs));
}

QString writeFile(QTemporaryDir &dir, const QString &name, const QByteArray &content)
{
    QFile file(dir.filePath(name));
    if (file.open(QIODevice::WriteOnly))
        file.write(content);
    return file.fileName();
}

// What the board's EEPROM holds after clicking "Transfert" once per line of a melody table.
QByteArray eepromFromClicks(const QString &tablePath)
{
    QFile file(tablePath);
    file.open(QIODevice::ReadOnly);
    RecordingView view;
    RecordingLink link;
    link.Open(1);
    TransferState state;
    TransferCommand command(view, link, state);
    for (const QString &line : QString::fromUtf8(file.readAll()).split(u'\n')) {
        const QStringList fields = line.split(u';');
        if (line.startsWith(u'#') || fields.size() != 3 || fields[0] == u"Tempo")
            continue;
        view.choose(fields[0], fields[1], fields[2]);
        command.Run();
    }
    QByteArray image(64, '\0');
    for (qsizetype i = 0; i + 2 < link.wire.size(); i += 3)
        image.replace(link.wire[i], 2, link.wire.mid(i + 1, 2));
    return image;
}

} // namespace

class TestSend : public QObject {
    Q_OBJECT
private slots:
    void intoTheStandIn();
    void rtttlTwinsGiveTheSameFrames_data();
    void rtttlTwinsGiveTheSameFrames();
    void wavPreviewWithoutPort();
    void refused_data();
    void refused();
    void framesAtLeastTheGapApart();
    void interruptedAfterWholeFrames_data();
    void interruptedAfterWholeFrames();
    void frameStuckAtCtrlCIsNotCounted();
    void closedStandardDescriptors();
    void readerGoneMidMelody();
    void previewOutputs_data();
    void previewOutputs();
    void terminalQuotesWithoutIsolationMarks();
};

void TestSend::intoTheStandIn()
{
    QTemporaryDir dir;
    const QString link = dir.filePath(u"com1"_qs);
    const QString eeprom = dir.filePath(u"melodie.eeprom"_qs);
    QProcess device;
    device.start(QStringLiteral(TINKORA_DEVICE), {u"--link"_qs, link, u"--eeprom"_qs, eeprom});
    QTRY_VERIFY(QFile::exists(link));

    const QString table = kExamples + u"/au-clair-de-la-lune.csv"_qs;
    const Run run = runSend({table, u"--port"_qs, link, u"--gap"_qs, u"0"_qs});
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(run.out.endsWith(u"22 notes écrites, emplacements 1 à 22 sur "_qs + link + u".\n"_qs),
             qPrintable(run.out + run.err));
    // Whether the stand-in ends when the port closes or keeps serving, a polite kill ends it
    // once it has shown the last frame, and it then writes its EEPROM image.
    QTRY_VERIFY(device.peek(1 << 16).contains("Note 22 @42"));
    if (device.state() != QProcess::NotRunning) {
        device.terminate();
        QVERIFY(device.waitForFinished(10000));
    }
    QCOMPARE(device.exitCode(), 0);
    const QString received = QString::fromUtf8(device.readAllStandardOutput());
    QVERIFY2(received.contains(u"Note 22 @42 : Do4, 200 (2,00 s)\n"_qs), qPrintable(received));
    QVERIFY(!received.contains(u"!!"_qs));
    QVERIFY(!received.contains(u"en trop"_qs));

    QFile image(eeprom);
    QVERIFY(image.open(QIODevice::ReadOnly));
    QCOMPARE(image.readAll(), eepromFromClicks(table));
}

void TestSend::rtttlTwinsGiveTheSameFrames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("remark");
    QTest::newRow("Au clair de la lune") << u"au-clair-de-la-lune"_qs << QString();
    QTest::newRow("Frère Jacques")
        << u"frere-jacques"_qs << u"Mélodie descendue de 1 octave pour"_qs;
}

void TestSend::rtttlTwinsGiveTheSameFrames()
{
    QFETCH(QString, name);
    QFETCH(QString, remark);
    const Run table = runSend({kExamples + u'/' + name + u".csv"_qs, u"--dry-run"_qs});
    const Run rtttl = runSend({kExamples + u'/' + name + u".rtttl"_qs, u"--dry-run"_qs});
    QCOMPARE(table.exitCode, 0);
    QCOMPARE(rtttl.exitCode, 0);
    QVERIFY(frameLines(table.out).size() > 20);
    QCOMPARE(frameLines(rtttl.out), frameLines(table.out));
    QCOMPARE(rtttl.out.startsWith(remark), true);
    QVERIFY(table.out.contains(u"rien n'a été écrit (--dry-run)"_qs));
}

void TestSend::wavPreviewWithoutPort()
{
    QTemporaryDir dir;
    const QString melody = writeFile(dir, u"m.csv"_qs, "120;La3;Noire\n60;Si4;Ronde=4 Noires\n");
    const QString wav = dir.filePath(u"m.wav"_qs);
    const Run run = runSend(
        {melody, u"--dry-run"_qs, u"--wav"_qs, wav, u"--port"_qs, dir.filePath(u"absent"_qs)});
    QCOMPARE(run.exitCode, 0);
    // 0.5 s and 4 s at 44.1 kHz, 16-bit mono, after a 44-byte header.
    QCOMPARE(QFile(wav).size(), 44 + 2 * 441 * (50 + 400));
}

void TestSend::refused_data()
{
    QTest::addColumn<QStringList>("arguments"); // FILE stands for a file holding content
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message");

    const QString file = u"FILE"_qs;
    const QByteArray good("120;La3;Noire\n");
    QTest::newRow("no file") << QStringList() << good << 2 << u"il manque l'argument FICHIER"_qs;
    QTest::newRow("two files") << QStringList{file, file} << good << 2
                               << u"argument inattendu : « "_qs;
    QTest::newRow("unknown option")
        << QStringList{file, u"--vite"_qs} << good << 2 << u"option inconnue : « --vite »"_qs;
    QTest::newRow("--from 0") << QStringList{file, u"--from"_qs, u"0"_qs} << good << 2
                              << u"l'option --from attend un nombre entier de 1 à 31, pas « 0 »"_qs;
    QTest::newRow("--gap -5")
        << QStringList{file, u"--gap"_qs, u"-5"_qs} << good << 2
        << u"l'option --gap attend un nombre entier de 0 à 60000, pas « -5 »"_qs;
    QTest::newRow("--wait x")
        << QStringList{file, u"--wait"_qs, u"x"_qs} << good << 2
        << u"l'option --wait attend un nombre entier de 0 à 60000, pas « x »"_qs;
    QTest::newRow("missing file")
        << QStringList{u"/nonexistent/m.csv"_qs} << good << 1
        << u"/nonexistent/m.csv : Impossible de lire le fichier : fichier "
           "ou dossier introuvable."_qs;
    QTest::newRow("binary") << QStringList{file}
                            << QByteArray("\x7F"
                                          "ELF\x02\x01\0\0",
                                          8)
                            << 1 << u"Fichier binaire"_qs;
    QTest::newRow("too big") << QStringList{file} << good.repeated(80000) << 1
                             << u"Fichier trop gros"_qs;
    QTest::newRow("undecodable") << QStringList{file} << QByteArray("120;La3;Noire\x8D\n") << 1
                                 << u"Texte illisible"_qs;
    QTest::newRow("a bad note among good ones")
        << QStringList{file} << QByteArray("120;La3;Noire\n120;Re#3;Noire\n") << 1
        << u"ligne 2, colonne 5 : Note inconnue : « Re#3 ». Vouliez-vous dire « Mib3 » ?\n"
           "Fichier refusé (1 problème) : rien n'a été écrit."_qs;
    QTest::newRow("a rest") << QStringList{file} << QByteArray("x:d=4,o=5,b=120:a4,p\n") << 1
                            << u"ligne 1, colonne 20 : Silence « p » impossible"_qs;
    QTest::newRow("too many from --from") << QStringList{file, u"--from"_qs, u"31"_qs}
                                          << good.repeated(2) << 1 << u"Trop de notes"_qs;
    // MIDI, told by its bytes in a .txt: two lines and no choice, nothing sent.
    const QByteArray twoLines =
        QByteArray::fromHex("4D546864000000060000000101E0 4D54726B00000015"
                            "00903C40 00913040 8360803C00 00813000 00FF2F00");
    QTest::newRow("a MIDI file of two lines")
        << QStringList{file} << twoLines << 1
        << u"m.txt : 2 lignes mélodiques dans le fichier : choisissez-en une avec --track et "
           u"--channel.\n  piste 1, canal 1 : 1 note de Do3 à Do3, une à la fois\n"_qs;
    QTest::newRow("a MIDI file cut short")
        << QStringList{file, u"--channel"_qs, u"2"_qs} << twoLines.chopped(9) << 1
        << u"Fichier MIDI tronqué : il s'arrête à l'octet 34"_qs;
    QTest::newRow("a MIDI option for a table")
        << QStringList{file, u"--notes"_qs, u"1-2"_qs} << good << 1
        << u"m.txt : ce n'est pas un fichier MIDI, et --track, --channel, --tempo et --notes ne "
           u"valent que pour un fichier MIDI : retirez-les.\nRien n'a été écrit."_qs;
    QTest::newRow("--channel 0") << QStringList{file, u"--channel"_qs, u"0"_qs} << twoLines << 2
                                 << u"l'option --channel attend un nombre entier de 1 à 16"_qs;
    QTest::newRow("port missing") << QStringList{file, u"--port"_qs, u"/nonexistent/tty"_qs} << good
                                  << 3 << u"Impossible d'ouvrir /nonexistent/tty"_qs;
}

void TestSend::refused()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, content);
    QFETCH(int, exitCode);
    QFETCH(QString, message);

    // A missing port as COM1: a refused file must fail before it is ever tried.
    QTemporaryDir dir;
    const QString path = writeFile(dir, u"m.txt"_qs, content);
    arguments.replaceInStrings(QRegularExpression(u"^FILE$"_qs), path);
    if (!arguments.contains(u"--port"_qs))
        arguments << u"--port"_qs << dir.filePath(u"absent"_qs);
    const Run run = runSend(arguments);
    QVERIFY2(run.err.contains(message), qPrintable(run.err));
    QCOMPARE(run.exitCode, exitCode);
    QVERIFY(frameLines(run.out).isEmpty());
}

void TestSend::framesAtLeastTheGapApart()
{
    PseudoTerminal line;
    QTemporaryDir dir;
    const QString melody = writeFile(dir, u"m.csv"_qs, QByteArray("120;La3;Noire\n").repeated(4));
    constexpr int kGapMs = 150;
    QProcess send;
    send.start(QStringLiteral(TINKORA_SEND),
               {melody, u"--port"_qs, line.slavePath(), u"--gap"_qs, QString::number(kGapMs)});

    // Frame k was not whole yet at the previous look, which began at `before[k]`, and frame
    // k + 1 was whole by `after[k + 1]`: their distance bounds the true gap from above, whatever
    // the load on the machine.
    QElapsedTimer clock;
    clock.start();
    QList<qint64> before;
    QList<qint64> after;
    QByteArray received;
    const QDeadlineTimer deadline(20000);
    qint64 previousLook = 0;
    while (received.size() < 12 && !deadline.hasExpired()) {
        const qint64 look = clock.elapsed();
        received += line.readWithoutEventLoop(1, 2);
        while (after.size() < received.size() / 3) {
            before << previousLook;
            after << clock.elapsed();
        }
        previousLook = look;
    }
    QCOMPARE(received, bytes({0, 22, 50, 2, 22, 50, 4, 22, 50, 6, 22, 50}));
    for (int k = 0; k + 1 < after.size(); ++k)
        QVERIFY2(after[k + 1] - before[k] >= kGapMs,
                 qPrintable(u"frames %1 and %2"_qs.arg(k + 1).arg(k + 2)));
    QVERIFY(send.waitForFinished(10000));
    QCOMPARE(send.exitCode(), 0);
}

void TestSend::interruptedAfterWholeFrames_data()
{
    QTest::addColumn<int>("stopSignal"); // 0: the adapter is pulled out instead
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message");
    const QString interrupted =
        u"Interrompu : 1 note écrite, emplacement 1 sur 5 ; les suivantes"_qs;
    QTest::newRow("Ctrl-C") << int(SIGINT) << 4 << interrupted;
    QTest::newRow("SIGTERM") << int(SIGTERM) << 4 << interrupted;
    QTest::newRow("adapter pulled out") << 0 << 3 << u"a été fermé : le périphérique a disparu"_qs;
}

void TestSend::interruptedAfterWholeFrames()
{
    QFETCH(int, stopSignal);
    QFETCH(int, exitCode);
    QFETCH(QString, message);

    PseudoTerminal line;
    QTemporaryDir dir;
    const QString melody = writeFile(dir, u"m.csv"_qs, QByteArray("120;La3;Noire\n").repeated(5));
    QProcess send;
    // The gap after the first frame outlasts the test.
    send.start(QStringLiteral(TINKORA_SEND),
               {melody, u"--port"_qs, line.slavePath(), u"--gap"_qs, u"60000"_qs});
    QVERIFY(send.waitForStarted());
    QCOMPARE(line.readWithoutEventLoop(3, 10000), bytes({0, 22, 50}));
    QByteArray out;
    QTRY_VERIFY((out += send.readAllStandardOutput()).contains("Note 1 @0"));
    if (stopSignal == 0)
        line.unplug();
    else
        ::kill(pid_t(send.processId()), stopSignal);
    QVERIFY(send.waitForFinished(10000));
    QCOMPARE(send.exitCode(), exitCode);
    if (stopSignal != 0)
        QCOMPARE(line.readFor(0), QByteArray()); // nothing after the whole frame
    const QString err = QString::fromUtf8(send.readAllStandardError());
    QVERIFY2(err.contains(message), qPrintable(err));
    QVERIFY2(err.contains(u"1 note écrite, emplacement 1 sur 5"_qs), qPrintable(err));
}

void TestSend::frameStuckAtCtrlCIsNotCounted()
{
    PseudoTerminal line;
    line.stall(); // the first frame can never leave
    QTemporaryDir dir;
    const QString melody = writeFile(dir, u"m.csv"_qs, QByteArray("120;La3;Noire\n").repeated(2));
    QProcess send;
    send.start(QStringLiteral(TINKORA_SEND), {melody, u"--port"_qs, line.slavePath()});
    QVERIFY(send.waitForStarted());
    QByteArray out;
    QTRY_VERIFY((out += send.readAllStandardOutput()).contains("Note 1 @0"));
    ::kill(pid_t(send.processId()), SIGINT);
    QVERIFY(send.waitForFinished(10000)); // after the exit bound of 2 s
    QCOMPARE(send.exitCode(), 4);
    const QString err = QString::fromUtf8(send.readAllStandardError());
    QVERIFY2(err.contains(u"Interrompu : 0 note écrite sur 2"_qs), qPrintable(err));
}

// Started with standard input and output closed: the port must not land on them and be taken
// for the terminal Tinkora runs in.
void TestSend::closedStandardDescriptors()
{
    PseudoTerminal board;
    QVERIFY(board.isValid());
    QTemporaryDir dir;
    const QString melody = writeFile(dir, u"m.csv"_qs, "120;La3;Noire\n");
    QProcess send;
    send.start(u"sh"_qs, {u"-c"_qs, u"exec \"$0\" \"$@\" <&- >&-"_qs, QStringLiteral(TINKORA_SEND),
                          u"--gap"_qs, u"0"_qs, u"--port"_qs, board.slavePath(), melody});
    QCOMPARE(board.readWithoutEventLoop(3), QByteArray("\x00\x16\x32", 3));
    QVERIFY(send.waitForFinished(20000));
    QVERIFY2(send.exitCode() == 0, send.readAllStandardError().constData());
}

// "| head -1": the log's reader goes after one line, the board still gets the whole melody, the
// exit code is the usual one and the line is left as it was found.
void TestSend::readerGoneMidMelody()
{
    PseudoTerminal board;
    termios before = board.settings();
    ::cfsetospeed(&before, B9600);
    ::cfsetispeed(&before, B9600);
    board.setSettings(before);
    QProcess shell;
    shell.start(u"bash"_qs, {u"-c"_qs, u"set -o pipefail; \"$0\" \"$@\" | head -1"_qs,
                             QStringLiteral(TINKORA_SEND), u"--gap"_qs, u"0"_qs, u"--port"_qs,
                             board.slavePath(), kExamples + u"/au-clair-de-la-lune.csv"_qs});
    QCOMPARE(board.readWithoutEventLoop(22 * 3).size(), 22 * 3);
    QVERIFY(shell.waitForFinished(20000));
    QVERIFY2(shell.exitCode() == 0, shell.readAllStandardError().constData());
    const termios after = board.settings();
    QCOMPARE(::cfgetospeed(&after), ::cfgetospeed(&before));
}

void TestSend::previewOutputs_data()
{
    QTest::addColumn<QString>("output"); // "MELODY" for the melody file itself
    QTest::addColumn<QString>("limit");  // a file-size limit for the shell, in 512-byte blocks
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message");
    QTest::newRow("the melody file itself")
        << u"MELODY"_qs << QString() << 1 << u"est le fichier lu : il serait écrasé"_qs;
    QTest::newRow("a device") << u"/dev/full"_qs << QString() << 1
                              << u"/dev/full n'est pas un fichier ordinaire"_qs;
    QTest::newRow("a disk that fills up") << u"WAV"_qs << u"1"_qs << 1 << u"Impossible d'écrire"_qs;
    QTest::newRow("thrown away") << u"/dev/null"_qs << QString() << 0 << QString();
}

// An output that cannot take the preview is said in French before anything is sent, and never
// leaves a half-written file or clobbers one.
void TestSend::previewOutputs()
{
    QFETCH(QString, output);
    QFETCH(QString, limit);
    QFETCH(int, exitCode);
    QFETCH(QString, message);
    QTemporaryDir dir;
    const QByteArray table = "120;La3;Noire\n60;Si4;Ronde=4 Noires\n";
    const QString melody = writeFile(dir, u"m.csv"_qs, table);
    const QString earlier = writeFile(dir, u"m.wav"_qs, "earlier");
    output.replace(u"MELODY"_qs, melody).replace(u"WAV"_qs, earlier);
    QProcess shell;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"LIMIT"_qs, limit.isEmpty() ? u"unlimited"_qs : limit);
    shell.setProcessEnvironment(environment);
    shell.start(u"sh"_qs,
                {u"-c"_qs, u"ulimit -f $LIMIT; exec \"$0\" \"$@\""_qs, QStringLiteral(TINKORA_SEND),
                 u"--dry-run"_qs, u"--wav"_qs, output, melody});
    QVERIFY(shell.waitForFinished(20000));
    const QString err = QString::fromUtf8(shell.readAllStandardError());
    QCOMPARE(shell.exitCode(), exitCode);
    QVERIFY2(err.contains(message), qPrintable(err));
    QVERIFY2(!err.contains(u"No such") && !err.contains(u"space"), qPrintable(err));
    QFile melodyFile(melody);
    QVERIFY(melodyFile.open(QIODevice::ReadOnly));
    QCOMPARE(melodyFile.readAll(), table);
    if (exitCode != 0) {
        QFile earlierFile(earlier);
        QVERIFY(earlierFile.open(QIODevice::ReadOnly));
        QCOMPARE(earlierFile.readAll(), QByteArray("earlier"));
        QVERIFY(!shell.readAllStandardOutput().contains("Aperçu écrit"));
    }
}

// A terminal, a log or a grep pattern never meets the window's invisible isolation marks.
void TestSend::terminalQuotesWithoutIsolationMarks()
{
    QTemporaryDir dir;
    const Run run = runSend({writeFile(dir, u"m.csv"_qs, "120;Ré9;Noire\n"), u"--dry-run"_qs});
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains(u"« Ré9 »"_qs), qPrintable(run.err));
    QVERIFY(!run.err.contains(QChar(0x2068)) && !run.err.contains(QChar(0x2069)));
}

QTEST_MAIN(TestSend)
#include "tst_send.moc"
