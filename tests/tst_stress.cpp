// SPDX-License-Identifier: GPL-3.0-or-later
#include "durationtable.h"
#include "notetable.h"
#include "pseudoterminal.h"
#include "recordingview.h"
#include "serialportlink.h"
#include "tempolist.h"
#include "transfercommand.h"

#include <QRandomGenerator>
#include <QTest>

// Thousands of transfers at full speed while the line stalls and resumes at random moments:
// every byte must arrive, in order, in whole frames, and no transfer may wait for the line.
class TestStress : public QObject {
    Q_OBJECT
private slots:
    void transfersWhileTheLineStalls_data();
    void transfersWhileTheLineStalls();
};

void TestStress::transfersWhileTheLineStalls_data()
{
    QTest::addColumn<quint32>("seed");
    QTest::addColumn<int>("stallEvery"); // on average, transfers between two stalls or resumes

    QTest::newRow("frequent stalls") << 1u << 20;
    QTest::newRow("long stalls") << 2u << 400;
    QTest::newRow("stalled from the start") << 3u << 100000;
}

void TestStress::transfersWhileTheLineStalls()
{
    QFETCH(quint32, seed);
    QFETCH(int, stallEvery);

    PseudoTerminal pty;
    PortMap ports;
    ports.setDevicePath(1, pty.slavePath());
    SerialPortLink link(ports);
    QVERIFY(link.Open(1).ok());
    RecordingView view;
    TransferState state;
    QRandomGenerator random(seed);

    constexpr int kTransfers = 3000;
    bool stalled = stallEvery > kTransfers;
    if (stalled)
        pty.stall();
    QByteArray expected;
    QByteArray received;
    for (int i = 0; i < kTransfers; ++i) {
        const QStringView tempo = TempoList[random.bounded(int(TempoList.size()))];
        const NoteEntry &note = NoteTable[random.bounded(int(NoteTable.size()))];
        const DurationEntry &value = DurationTable[random.bounded(int(DurationTable.size()))];
        view.choose(tempo.toString(), note.name.toString(), value.name.toString());
        const int slot = state.NoteNumber;

        TransferCommand(view, link, state).Run(); // returns although the line may be stalled

        expected.append(char(2 * (slot - 1)))
            .append(char(note.code))
            .append(char(ComputeDurationCode(value.dividend, tempo).value));
        if (random.bounded(stallEvery) == 0) {
            stalled = !stalled;
            stalled ? pty.stall() : pty.resume();
        }
        if (random.bounded(10) == 0)
            received += pty.readFor(0); // lets the event loop run once in a while
    }
    QCOMPARE(view.warnings.size(), kTransfers - 30); // only the slot limit, from the 31st on
    QCOMPARE(state.NoteNumber, 31);

    pty.resume();
    received += pty.read(int(expected.size() - received.size()), 30000);
    QCOMPARE(received.size(), expected.size());
    QCOMPARE(received, expected);
    QCOMPARE(pty.readFor(100), QByteArray());
}

QTEST_GUILESS_MAIN(TestStress)
#include "tst_stress.moc"
