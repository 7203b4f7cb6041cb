// SPDX-License-Identifier: GPL-3.0-or-later
#include "bytes.h"
#include "pseudoterminal.h"

#include <QFile>
#include <QProcess>
#include <QTest>

#include <csignal>

// How the program ends with notes still queued behind a stalled line: every way that still runs
// code sends them within the exit budget, releases the port and its lock file, puts the line
// back as it was, and says on stderr what could not leave.
class TestExit : public QObject {
    Q_OBJECT
private slots:
    void queuedNotesLeave_data();
    void queuedNotesLeave();
    void notesLeftBehindAreReported();
    void aMelodyEndsAfterTheFrameOnItsWay();

private:
    static QString lockFile(const PseudoTerminal &pty)
    {
        return u"/var/lock/LCK.."_qs + pty.slavePath().mid(5).replace(u'/', u'_');
    }
    static bool startProbe(QProcess &probe, const PseudoTerminal &pty, const QString &mode,
                           const QStringList &more = {});
};

bool TestExit::startProbe(QProcess &probe, const PseudoTerminal &pty, const QString &mode,
                          const QStringList &more)
{
    if (mode == u"exit"_qs) {
        // exit() from inside the event loop leaves Qt's objects to the system, as Qt itself does
        // when the display goes away: not a leak of ours for the sanitizer build to report.
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"ASAN_OPTIONS"_qs,
                           environment.value(u"ASAN_OPTIONS"_qs) + u":detect_leaks=0"_qs);
        probe.setProcessEnvironment(environment);
    }
    probe.start(QStringLiteral(EXITPROBE), QStringList{pty.slavePath(), mode} + more);
    return probe.waitForReadyRead(30000) && probe.readLine().trimmed() == "ready";
}

void TestExit::queuedNotesLeave_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<int>("signal"); // 0: the probe ends itself

    QTest::newRow("terminal closed") << u"wait"_qs << int(SIGHUP);
    QTest::newRow("polite kill") << u"wait"_qs << int(SIGTERM);
    QTest::newRow("display connection broken") << u"exit"_qs << 0;
}

void TestExit::queuedNotesLeave()
{
    QFETCH(QString, mode);
    QFETCH(int, signal);

    PseudoTerminal pty;
    const termios before = pty.settings();
    pty.stall();
    QProcess probe;
    QVERIFY(startProbe(probe, pty, mode));
    QVERIFY(QFile::exists(lockFile(pty)));

    if (signal != 0)
        ::kill(pid_t(probe.processId()), signal);
    pty.resume(); // within the exit budget
    QCOMPARE(pty.readWithoutEventLoop(9, 10000), bytes({0, 22, 50, 2, 22, 50, 4, 22, 50}));
    QVERIFY(probe.waitForFinished(10000));
    QCOMPARE(probe.exitStatus(), QProcess::NormalExit);
    const QString errors = QString::fromUtf8(probe.readAllStandardError());
    QVERIFY2(!errors.contains(u"tinkora :"_qs), qPrintable(errors));
    QVERIFY(!QFile::exists(lockFile(pty)));
    const termios after = pty.settings();
    QCOMPARE(cfgetospeed(&after), cfgetospeed(&before));
    QCOMPARE(after.c_oflag, before.c_oflag);
}

void TestExit::notesLeftBehindAreReported()
{
    PseudoTerminal pty;
    pty.stall(); // for good
    QProcess probe;
    QVERIFY(startProbe(probe, pty, u"wait"_qs));
    ::kill(pid_t(probe.processId()), SIGTERM);
    QVERIFY(probe.waitForFinished(10000));
    QCOMPARE(probe.exitStatus(), QProcess::NormalExit);
    const QString errors = QString::fromUtf8(probe.readAllStandardError());
    QVERIFY2(errors.split(u'\n').contains(u"tinkora : 3 notes n'ont pas été envoyées"_qs),
             qPrintable(errors));
    QVERIFY(!QFile::exists(lockFile(pty)));
}

// A whole melody on its way when the program is told to end: the frame on its way leaves whole,
// and nothing after it.
void TestExit::aMelodyEndsAfterTheFrameOnItsWay()
{
    PseudoTerminal pty;
    pty.stall();
    QProcess probe;
    QVERIFY(startProbe(probe, pty, u"melody"_qs,
                       {QStringLiteral(EXAMPLES_DIR) + u"/au-clair-de-la-lune.csv"_qs}));
    ::kill(pid_t(probe.processId()), SIGTERM);
    pty.resume(); // within the exit budget
    QVERIFY(probe.waitForFinished(10000));
    QCOMPARE(probe.exitStatus(), QProcess::NormalExit);
    QCOMPARE(pty.readWithoutEventLoop(3, 5000), bytes({0, 25, 50}));
    QCOMPARE(pty.readFor(0), QByteArray()); // the program has ended: all it wrote is there
    QVERIFY(!QFile::exists(lockFile(pty)));
}

QTEST_GUILESS_MAIN(TestExit)
#include "tst_exit.moc"
