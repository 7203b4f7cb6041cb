// SPDX-License-Identifier: GPL-3.0-or-later
#include "dryrun.h"
#include "form1.h"
#include "givenports.h"
#include "melodyopener.h"
#include "messageboxcloser.h"
#include "midiquestions.h"
#include "module1.h"
#include "recordinglink.h"
#include "smfbytes.h"
#include "windowdriver.h"

#include <QDialog>
#include <QTemporaryDir>
#include <QTest>

namespace {

constexpr int q = 480; // ticks a quarter

// Quarter notes from Do3 up, a fifth round and round.
QByteArray quarters(int count, int channel = 1)
{
    std::vector<N> line;
    for (int i = 0; i < count; ++i)
        line.push_back({60 + i % 8, i * q, q, channel});
    return notes(line);
}

const QByteArray kSlowingDown = tempo(0, 120) + tempo(4 * q, 90);
const QByteArray kBass = notes({{36, 0, 2 * q}, {43, 2 * q, 2 * q}, {36, 4 * q, 2 * q}});

// The test's answers (-1, false, 0: "Annuler"), and what was asked: "line 2.1 3.1",
// "excerpt 40 31", "tempo".
struct ScriptedQuestions : MidiQuestions {
    int line = -1;
    bool excerpt = false;
    int tempo = 0;
    QStringList asked;

    std::optional<int> chooseLine(const QString &, const std::vector<MelodyLine> &lines) override
    {
        QString text = u"line"_qs;
        for (const MelodyLine &each : lines)
            text += u" %1.%2"_qs.arg(each.track).arg(each.channel);
        asked << text;
        return line < 0 ? std::nullopt : std::optional(line);
    }
    bool takeExcerpt(int lineNotes, int lastNote) override
    {
        asked << u"excerpt %1 %2"_qs.arg(lineNotes).arg(lastNote);
        return excerpt;
    }
    std::optional<int> chooseTempo(const QString &) override
    {
        asked << u"tempo"_qs;
        return tempo == 0 ? std::nullopt : std::optional(tempo);
    }
};

} // namespace

// A MIDI file into the window where it leaves a choice: each question in turn, then
// tinkora-send's frames for the same answers, or nothing written at all after "Annuler".
class TestMidiAnswers : public QObject {
    Q_OBJECT
private slots:
    void questionsInTurn_data();
    void questionsInTurn();
};

void TestMidiAnswers::questionsInTurn_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("clicksBefore"); // notes sent by hand first
    QTest::addColumn<int>("line");
    QTest::addColumn<bool>("excerpt");
    QTest::addColumn<int>("tempo");
    QTest::addColumn<bool>("send");
    QTest::addColumn<QStringList>("asked");
    QTest::addColumn<QStringList>("sameAs"); // tinkora-send's options; none: nothing written
    const QByteArray all = smf(1, q, {kSlowingDown, quarters(40, 2), kBass});
    const QStringList everyQuestion{u"line 2.2 3.1"_qs, u"excerpt 40 31"_qs, u"tempo"_qs};

    QTest::newRow("two lines, the second chosen")
        << smf(1, q, {tempo(0, 120), quarters(4), kBass}) << 0 << 1 << false << 0 << true
        << QStringList{u"line 2.1 3.1"_qs} << u"--track 3 --channel 1"_qs.split(u' ');
    QTest::newRow("40 notes, 31 slots left")
        << smf(0, q, {quarters(40)}) << 0 << -1 << true << 0 << true
        << QStringList{u"excerpt 40 31"_qs} << u"--notes 1-31"_qs.split(u' ');
    QTest::newRow("40 notes, 22 slots left")
        << smf(0, q, {quarters(40)}) << 9 << -1 << true << 0 << true
        << QStringList{u"excerpt 40 22"_qs} << u"--notes 1-22 --from 10"_qs.split(u' ');
    QTest::newRow("a changing tempo")
        << smf(1, q, {kSlowingDown, quarters(8)}) << 0 << -1 << false << 150 << true
        << QStringList{u"tempo"_qs} << u"--tempo 150"_qs.split(u' ');
    QTest::newRow("every question") << all << 0 << 0 << true << 150 << true << everyQuestion
                                    << u"--track 2 --notes 1-31 --tempo 150"_qs.split(u' ');
    QTest::newRow("Annuler: the line")
        << all << 0 << -1 << true << 150 << true << everyQuestion.mid(0, 1) << QStringList();
    QTest::newRow("Annuler: the excerpt")
        << all << 0 << 0 << false << 150 << true << everyQuestion.mid(0, 2) << QStringList();
    QTest::newRow("Annuler: the tempo")
        << all << 0 << 0 << true << 0 << true << everyQuestion << QStringList();
    QTest::newRow("Annuler: the last question")
        << all << 0 << 0 << true << 150 << false << everyQuestion << QStringList();
}

void TestMidiAnswers::questionsInTurn()
{
    QFETCH(QByteArray, file);
    QFETCH(int, clicksBefore);
    QFETCH(bool, send);
    QFETCH(QStringList, asked);
    QFETCH(QStringList, sameAs);
    QTemporaryDir dir;
    QFile midi(dir.filePath(u"m.mid"_qs));
    QVERIFY(midi.open(QIODevice::WriteOnly) && midi.write(file) == file.size());
    midi.close();
    const QByteArray expected =
        sameAs.isEmpty() ? QByteArray() : dryRunFrames(midi.fileName(), sameAs);
    QCOMPARE(expected.isEmpty(), sameAs.isEmpty());

    ScriptedQuestions questions;
    QFETCH(int, line);
    QFETCH(bool, excerpt);
    QFETCH(int, tempo);
    questions.line = line;
    questions.excerpt = excerpt;
    questions.tempo = tempo;
    MessageBoxCloser boxes;
    boxes.answerKey = send ? Qt::Key_Return : Qt::Key_Escape;
    RecordingLink link;
    link.drainLater = true; // the sender waits for each frame to leave the line
    Form1 window(link, givenPortsOnly());
    WindowDriver driver(&window);
    auto *opener = window.findChild<MelodyOpener *>(u"melodyOpener"_qs);
    opener->askMidiWith(questions);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    driver.click(u"Option1"_qs);
    driver.choose(u"120"_qs, u"La3"_qs, u"Noire"_qs);
    for (int click = 0; click < clicksBefore; ++click)
        driver.click(u"Command2"_qs);
    link.wire.clear();

    opener->openFile(midi.fileName());
    QTRY_VERIFY_WITH_TIMEOUT(!window.findChild<QDialog *>(u"melodyProgress"_qs), 10000);
    QCOMPARE(questions.asked, asked);
    QCOMPARE(link.wire.toHex(' '), expected.toHex(' '));
    const QStringList texts = boxes.texts(); // the question before sending, then the limit's
    QCOMPARE(texts.size(), (send && sameAs.isEmpty() ? 0 : 1) +
                               (clicksBefore + expected.size() / 3 == 31 ? 1 : 0));
    if (!expected.isEmpty())
        QVERIFY2(texts[0].startsWith(u"Envoyer les %1 notes"_qs.arg(expected.size() / 3)),
                 qPrintable(texts[0]));
    if (sameAs.isEmpty())
        QCOMPARE(Module1::transferState.NoteNumber, 1);
}

QTEST_MAIN(TestMidiAnswers)
#include "tst_midianswers.moc"
