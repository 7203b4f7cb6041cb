// SPDX-License-Identifier: GPL-3.0-or-later
#include "bytes.h"
#include "melodysender.h"
#include "recordinglink.h"
#include "transferstate.h"

#include <QSignalSpy>
#include <QTest>

// The sender paces itself on what the link says of the line: one whole frame at a time, the
// next only once the line has drained and the gap has passed.
class TestMelodySender : public QObject {
    Q_OBJECT
private slots:
    void init();
    void oneFrameAtATimeAsTheLineDrains();
    void aLineThatDrainsInsideTheWriteStillPaces();
    void stopKeepsTheFrameOnItsWayOnlyIfItLeft_data();
    void stopKeepsTheFrameOnItsWayOnlyIfItLeft();
    void haltLeavesThePortOpen_data();
    void haltLeavesThePortOpen();
    void aLostPortCountsOnlyWhatLeft();
    void aPortGivenAsAPathIsNamedByIt();

private:
    static std::vector<PlannedFrame> frames(int count);

    QString m_log;
    QTextStream m_out{&m_log};
    RecordingLink m_link;
};

// A line whose driver takes the bytes at once: it says so before the write returns.
class InstantLink : public RecordingLink {
public:
    WriteResult writeBytes(QByteArrayView bytes) override
    {
        const WriteResult result = RecordingLink::writeBytes(bytes);
        if (result.ok())
            emit drained();
        return result;
    }
};

std::vector<PlannedFrame> TestMelodySender::frames(int count)
{
    std::vector<PlannedFrame> result;
    for (int slot = 1; slot <= count; ++slot)
        result.push_back({slot, {TransferState::addressOf(slot), 22, 50}, u"La3"_qs, u"Noire"_qs});
    return result;
}

void TestMelodySender::init()
{
    m_log.clear();
    m_link.reset();
    QVERIFY(m_link.Open(1).ok());
}

void TestMelodySender::oneFrameAtATimeAsTheLineDrains()
{
    m_link.holdLine = true;
    MelodySender sender(m_link, frames(3),
                        {std::chrono::milliseconds(0), std::chrono::milliseconds(0)}, m_out);
    QSignalSpy finished(&sender, &MelodySender::finished);
    sender.start();
    QTRY_COMPARE(m_link.wire, bytes({0, 22, 50}));
    // However long the line holds the frame, the next one waits for it.
    QCoreApplication::processEvents();
    QCOMPARE(m_link.wire.size(), 3);
    QCOMPARE(sender.written(), 0);

    m_link.releaseLine();
    QTRY_COMPARE(m_link.wire, bytes({0, 22, 50, 2, 22, 50}));
    QCOMPARE(sender.written(), 1);
    m_link.releaseLine();
    QTRY_COMPARE(m_link.wire.size(), 9);
    QVERIFY(finished.isEmpty()); // the last frame has not left yet
    m_link.releaseLine();
    QCOMPARE(finished.size(), 1);
    QCOMPARE(sender.outcome(), MelodySender::Outcome::Written);
    QCOMPARE(sender.written(), 3);
    QCOMPARE(m_log.count(u'\n'), 3);
}

void TestMelodySender::aLineThatDrainsInsideTheWriteStillPaces()
{
    InstantLink link;
    QVERIFY(link.Open(1).ok());
    MelodySender sender(link, frames(31),
                        {std::chrono::milliseconds(0), std::chrono::milliseconds(0)}, m_out);
    QSignalSpy finished(&sender, &MelodySender::finished);
    sender.start();
    QVERIFY(finished.wait(5000));
    QCOMPARE(finished.size(), 1);
    QCOMPARE(sender.outcome(), MelodySender::Outcome::Written);
    QCOMPARE(sender.written(), 31);
    QCOMPARE(link.wire.size(), 31 * 3);
    QCOMPARE(link.wire.right(3), bytes({60, 22, 50}));
}

void TestMelodySender::stopKeepsTheFrameOnItsWayOnlyIfItLeft_data()
{
    QTest::addColumn<bool>("lineStalled");
    QTest::addColumn<int>("written");

    QTest::newRow("the frame leaves within the exit bound") << false << 2;
    QTest::newRow("a stalled line keeps it") << true << 1;
}

void TestMelodySender::stopKeepsTheFrameOnItsWayOnlyIfItLeft()
{
    QFETCH(bool, lineStalled);
    QFETCH(int, written);

    m_link.holdLine = true;
    MelodySender sender(m_link, frames(5),
                        {std::chrono::milliseconds(0), std::chrono::milliseconds(0)}, m_out);
    sender.start();
    QTRY_COMPARE(m_link.wire.size(), 3);
    m_link.releaseLine();
    QTRY_COMPARE(m_link.wire.size(), 6);
    m_link.holdLine = lineStalled; // at the flush, a held line lets nothing out
    sender.stop();
    QCOMPARE(sender.written(), written);
    QCOMPARE(m_link.wire.size(), 6); // nothing started after the stop
    QCoreApplication::processEvents();
    QCOMPARE(m_link.wire.size(), 6);
}

void TestMelodySender::haltLeavesThePortOpen_data()
{
    QTest::addColumn<bool>("frameOnItsWay");
    QTest::newRow("frame on its way: ends once it has left") << true;
    QTest::newRow("within the gap: ends at once") << false;
}

void TestMelodySender::haltLeavesThePortOpen()
{
    QFETCH(bool, frameOnItsWay);
    m_link.holdLine = true;
    MelodySender sender(m_link, frames(3), {std::chrono::milliseconds(0), std::chrono::hours(1)},
                        m_out);
    QSignalSpy finished(&sender, &MelodySender::finished);
    sender.start();
    QTRY_COMPARE(m_link.wire.size(), 3);
    if (!frameOnItsWay)
        m_link.releaseLine(); // the long gap starts
    sender.halt();
    QCOMPARE(finished.size(), frameOnItsWay ? 0 : 1);
    m_link.releaseLine();
    QCOMPARE(finished.size(), 1);
    QCOMPARE(sender.outcome(), MelodySender::Outcome::Stopped);
    QCOMPARE(sender.written(), 1);
    QCOMPARE(m_link.wire.size(), 3);
    QCOMPARE(m_link.openPort(), 1);
}

void TestMelodySender::aLostPortCountsOnlyWhatLeft()
{
    m_link.holdLine = true;
    MelodySender sender(m_link, frames(4),
                        {std::chrono::milliseconds(0), std::chrono::milliseconds(0)}, m_out);
    QSignalSpy finished(&sender, &MelodySender::finished);
    sender.start();
    QTRY_COMPARE(m_link.wire.size(), 3);
    m_link.releaseLine();
    QTRY_COMPARE(m_link.wire.size(), 6);
    m_link.losePort(); // the second frame was still on its way
    QCOMPARE(finished.size(), 1);
    QCOMPARE(sender.outcome(), MelodySender::Outcome::PortFailed);
    QCOMPARE(sender.written(), 1);
    QVERIFY2(sender.failure().startsWith(u"COM1 (/dev/ttyUSB0) a été fermé"_qs),
             qPrintable(sender.failure()));
    sender.stop();
    QCOMPARE(sender.written(), 1);
}

void TestMelodySender::aPortGivenAsAPathIsNamedByIt()
{
    m_link.device = u"/dev/pts/7"_qs;
    m_link.holdLine = true;
    MelodySender sender(m_link, frames(2),
                        {std::chrono::milliseconds(0), std::chrono::milliseconds(0)}, m_out);
    sender.nameThePortByItsPath();
    sender.start();
    QTRY_COMPARE(m_link.wire.size(), 3);
    m_link.losePort();
    QCOMPARE(sender.failure(),
             u"/dev/pts/7 a été fermé : le périphérique a disparu (adaptateur débranché ?)."_qs);
}

QTEST_GUILESS_MAIN(TestMelodySender)
#include "tst_melodysender.moc"
