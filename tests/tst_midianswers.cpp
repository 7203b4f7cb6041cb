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
#include "transferstate.h"
#include "windowdriver.h"

#include <QDialog>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

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

// Answers from the test, and what was asked: "line 2.1 3.1", "excerpt 40 31", "tempo".
class ScriptedQuestions : public MidiQuestions {
public:
    std::optional<int> line;
    bool excerpt = true;
    std::optional<int> tempo;
    QStringList asked;

    std::optional<int> chooseLine(const QString &, const std::vector<MelodyLine> &lines) override
    {
        QString text = u"line"_qs;
        for (const MelodyLine &each : lines)
            text += u" %1.%2"_qs.arg(each.track).arg(each.channel);
        asked << text;
        return line;
    }
    bool takeExcerpt(int lineNotes, int lastNote) override
    {
        asked << u"excerpt %1 %2"_qs.arg(lineNotes).arg(lastNote);
        return excerpt;
    }
    std::optional<int> chooseTempo(const QString &) override
    {
        asked << u"tempo"_qs;
        return tempo;
    }
};

} // namespace

// A MIDI file into the window where it leaves a choice: each question asked in turn, with
// tinkora-send's frames for the same answers, and nothing written on a refusal.
class TestMidiAnswers : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void answersSendTheirFrames_data();
    void answersSendTheirFrames();
    void cancelWritesNothing_data();
    void cancelWritesNothing();

private:
    QString fileOf(const QByteArray &bytes);
    void open(const QString &path);

    QTemporaryDir m_dir;
    ScriptedQuestions m_questions;
    std::unique_ptr<MessageBoxCloser> m_boxes;
    std::unique_ptr<RecordingLink> m_link;
    std::unique_ptr<Form1> m_window;
    std::unique_ptr<WindowDriver> m_driver;
};

void TestMidiAnswers::init()
{
    m_questions = {};
    m_boxes = std::make_unique<MessageBoxCloser>();
    m_boxes->answerKey = Qt::Key_Return; // "Envoyer"
    m_link = std::make_unique<RecordingLink>();
    m_link->drainLater = true; // the sender waits for each frame to leave the line
    m_window = std::make_unique<Form1>(*m_link, givenPortsOnly());
    m_driver = std::make_unique<WindowDriver>(m_window.get());
    m_window->findChild<MelodyOpener *>(u"melodyOpener"_qs)->askMidiWith(m_questions);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    m_driver->click(u"Option1"_qs);
}

void TestMidiAnswers::cleanup()
{
    m_window.reset();
    m_link.reset();
    m_boxes.reset();
}

QString TestMidiAnswers::fileOf(const QByteArray &bytes)
{
    QFile file(m_dir.filePath(u"m.mid"_qs));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return {};
    return file.fileName();
}

void TestMidiAnswers::open(const QString &path)
{
    m_window->findChild<MelodyOpener *>(u"melodyOpener"_qs)->openFile(path);
    QTRY_VERIFY_WITH_TIMEOUT(!m_window->findChild<QDialog *>(u"melodyProgress"_qs), 10000);
}

void TestMidiAnswers::answersSendTheirFrames_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("clicksBefore");
    QTest::addColumn<QStringList>("asked");
    QTest::addColumn<QStringList>("sendOptions");
    const QByteArray twoLines = smf(1, q, {tempo(0, 120), quarters(4), kBass});
    QTest::newRow("two lines, the second chosen")
        << twoLines << 0 << QStringList{u"line 2.1 3.1"_qs}
        << QStringList{u"--track"_qs, u"3"_qs, u"--channel"_qs, u"1"_qs};
    QTest::newRow("40 notes, 31 slots left")
        << smf(0, q, {quarters(40)}) << 0 << QStringList{u"excerpt 40 31"_qs}
        << QStringList{u"--notes"_qs, u"1-31"_qs};
    QTest::newRow("40 notes, 22 slots left")
        << smf(0, q, {quarters(40)}) << 9 << QStringList{u"excerpt 40 22"_qs}
        << QStringList{u"--notes"_qs, u"1-22"_qs, u"--from"_qs, u"10"_qs};
    QTest::newRow("a changing tempo")
        << smf(1, q, {kSlowingDown, quarters(8)}) << 0 << QStringList{u"tempo"_qs}
        << QStringList{u"--tempo"_qs, u"150"_qs};
    QTest::newRow("every question, in turn")
        << smf(1, q, {kSlowingDown, quarters(40, 2), kBass}) << 0
        << QStringList{u"line 2.2 3.1"_qs, u"excerpt 40 31"_qs, u"tempo"_qs}
        << QStringList{u"--track"_qs, u"2"_qs, u"--notes"_qs, u"1-31"_qs, u"--tempo"_qs, u"150"_qs};
}

void TestMidiAnswers::answersSendTheirFrames()
{
    QFETCH(QByteArray, file);
    QFETCH(int, clicksBefore);
    QFETCH(QStringList, asked);
    QFETCH(QStringList, sendOptions);
    const QString path = fileOf(file);
    const QByteArray expected = dryRunFrames(path, sendOptions);
    QVERIFY(!expected.isEmpty());
    m_driver->choose(u"120"_qs, u"La3"_qs, u"Noire"_qs);
    for (int click = 0; click < clicksBefore; ++click)
        m_driver->click(u"Command2"_qs);
    m_link->wire.clear();
    m_questions.line = asked.first() == u"line 2.1 3.1" ? 1 : 0;
    m_questions.tempo = 150;

    open(path);
    QCOMPARE(m_questions.asked, asked);
    QCOMPARE(m_link->wire.toHex(' '), expected.toHex(' '));
    // The question before sending, and no warning but the limit's once slot 31 is written.
    const QStringList texts = m_boxes->texts();
    QVERIFY2(texts.value(0).startsWith(u"Envoyer les %1 notes"_qs.arg(expected.size() / 3)),
             qPrintable(texts.value(0)));
    const bool lastSlot = clicksBefore + expected.size() / 3 == TransferState::MaxNotes;
    QCOMPARE(texts.mid(1), lastSlot ? QStringList{u"Le nombre maximum de notes (31) est atteint"_qs}
                                    : QStringList{});
}

void TestMidiAnswers::cancelWritesNothing_data()
{
    QTest::addColumn<QString>("cancelled");
    QTest::addColumn<int>("questions");
    QTest::newRow("the line") << u"line"_qs << 1;
    QTest::newRow("the excerpt") << u"excerpt"_qs << 2;
    QTest::newRow("the tempo") << u"tempo"_qs << 3;
    QTest::newRow("the last question") << u"send"_qs << 3;
}

void TestMidiAnswers::cancelWritesNothing()
{
    QFETCH(QString, cancelled);
    QFETCH(int, questions);
    const QString path = fileOf(smf(1, q, {kSlowingDown, quarters(40), kBass}));
    if (cancelled != u"line")
        m_questions.line = 0;
    m_questions.excerpt = cancelled != u"excerpt";
    if (cancelled != u"tempo")
        m_questions.tempo = 100;
    m_boxes->answerKey = Qt::Key_Escape; // "Annuler"

    open(path);
    QCOMPARE(m_questions.asked.size(), questions);
    QCOMPARE(m_boxes->boxes.size(), cancelled == u"send" ? 1 : 0);
    QVERIFY(m_link->writes.isEmpty());
    QCOMPARE(Module1::transferState.NoteNumber, 1);
}

QTEST_MAIN(TestMidiAnswers)
#include "tst_midianswers.moc"
