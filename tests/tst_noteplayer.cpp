// SPDX-License-Identifier: GPL-3.0-or-later
#include "noteplayer.h"
#include "recordingaudioout.h"
#include "tonemeasure.h"

#include <QTest>

#include <future>
#include <initializer_list>
#include <utility>

Q_DECLARE_METATYPE(Tone)
Q_DECLARE_METATYPE(AudioProblem)

namespace {

// What a player said, gathered on the test's thread; nothing is gathered once it is gone.
struct Heard {
    std::vector<int> started;
    std::vector<AudioProblem> failures;
    bool finished = false;
    QObject receiver;

    explicit Heard(NotePlayer &player)
    {
        QObject::connect(&player, &NotePlayer::noteStarted, &receiver,
                         [this](int index) { started.push_back(index); });
        QObject::connect(&player, &NotePlayer::failed, &receiver,
                         [this](AudioProblem problem) { failures.push_back(problem); });
        QObject::connect(&player, &NotePlayer::finished, &receiver, [this] { finished = true; });
    }
};

// Queues these notes, says there are no more, and starts the player.
void playThrough(NotePlayer &player, std::initializer_list<std::pair<quint8, quint8>> notes)
{
    for (const auto &[noteCode, durationByte] : notes)
        player.play(noteCode, durationByte);
    player.finish();
    player.start();
}

QByteArray toneOf(quint8 noteCode, quint8 durationByte)
{
    QByteArray samples;
    const NoteTone tone(noteCode, durationByte, Tone::Square);
    tone.append(samples, 0, tone.length());
    return samples;
}

} // namespace

class TestNotePlayer : public QObject {
    Q_OBJECT
private slots:
    void noteTone_data();
    void noteTone();
    void fadeOutFromWhereCut();
    void notesInTheOrderQueued();
    void keepsLittleQueued();
    void stopWhileWaiting();
    void stopAtOnce();
    void stopHeldByTheServer();
    void soundFails_data();
    void soundFails();
};

void TestNotePlayer::noteTone_data()
{
    QTest::addColumn<int>("noteCode");
    QTest::addColumn<int>("durationByte");
    QTest::addColumn<Tone>("tone");
    QTest::addColumn<double>("hertz");
    QTest::addColumn<int>("milliseconds");

    QTest::newRow("La3, a quarter at 120") << 22 << 50 << Tone::Square << 440.0 << 500;
    QTest::newRow("Do4 as a sine") << 25 << 25 << Tone::Sine << 523.25 << 250;
    QTest::newRow("Do2, 253 is 266 units") << 1 << 253 << Tone::Square << 130.81 << 2660;
    QTest::newRow("Si4, 255 is 400 units") << 36 << 255 << Tone::Square << 987.77 << 4000;
    QTest::newRow("silence") << 0 << 50 << Tone::Square << 0.0 << 500;
    QTest::newRow("beyond the table: silence") << 37 << 10 << Tone::Sine << 0.0 << 100;
}

void TestNotePlayer::noteTone()
{
    QFETCH(int, noteCode);
    QFETCH(int, durationByte);
    QFETCH(Tone, tone);
    QFETCH(double, hertz);
    QFETCH(int, milliseconds);
    const NoteTone note(quint8(noteCode), quint8(durationByte), tone);
    QByteArray bytes;
    note.append(bytes, 0, note.length());
    const std::vector<int> samples = samplesOf(bytes);
    QCOMPARE(int(samples.size()), milliseconds * 441 / 10);

    int peak = 0;
    for (int sample : samples)
        peak = std::max(peak, std::abs(sample));
    if (hertz == 0) {
        QCOMPARE(peak, 0);
        return;
    }
    QCOMPARE(peak, 8231); // -12 dBFS
    const std::size_t middle = samples.size() / 2 - 4410;
    QVERIFY(std::abs(pitchNear(samples, middle, 8820, hertz) - hertz) < 0.2);
    // 5 ms fades: silent at both ends, under a quarter of the way up in the first 1.1 ms.
    QCOMPARE(samples.front(), 0);
    QCOMPARE(samples.back(), 0);
    QVERIFY(std::abs(samples[50]) <= 8231 / 4);
    QVERIFY(std::abs(samples[samples.size() - 51]) <= 8231 / 4);
}

void TestNotePlayer::fadeOutFromWhereCut()
{
    const NoteTone note(22, 50, Tone::Sine);
    QByteArray bytes;
    note.append(bytes, 0, 1000);
    note.appendFadeOut(bytes, 1000);
    const std::vector<int> samples = samplesOf(bytes);
    QCOMPARE(int(samples.size()), 1000 + 220);
    QVERIFY(std::abs(samples[1000] - samples[999]) < 600); // the wave goes on, no jump
    QCOMPARE(samples.back(), 0);
    for (std::size_t i = 1110; i < samples.size(); ++i)
        QVERIFY(std::abs(samples[i]) <= 8231 / 2);
}

void TestNotePlayer::notesInTheOrderQueued()
{
    auto *out = new RecordingAudioOut;
    NotePlayer player{std::unique_ptr<AudioOut>(out), Tone::Square};
    Heard heard(player);
    playThrough(player, {{22, 50}, {0, 10}, {25, 25}});
    QTRY_VERIFY(heard.finished);
    QCOMPARE(heard.started, (std::vector<int>{0, 1, 2}));
    const RecordingAudioOut::Log log = out->log();
    // After 10 ms of silence that the server may drop while it fits the stream in.
    QCOMPARE(log.samples, QByteArray(882, '\0') + toneOf(22, 50) + toneOf(0, 10) + toneOf(25, 25));
    QVERIFY(log.drained && log.closed);
}

void TestNotePlayer::keepsLittleQueued()
{
    constexpr int lead = 441;
    constexpr int secondStart = lead + 22050;
    constexpr int end = secondStart + 11025;
    auto *out = new RecordingAudioOut;
    out->hearUpTo(0);
    NotePlayer player{std::unique_ptr<AudioOut>(out), Tone::Square};
    Heard heard(player);
    playThrough(player, {{22, 50}, {25, 25}});
    const auto written = [out] {
        return qint64(out->log().samples.size() / 2);
    };
    QTRY_COMPARE(written(), lead + AudioOut::kPieceSamples);
    QVERIFY(heard.started.empty());
    // Refilled as it is heard, never further ahead than a piece past the refill mark; each note
    // announced once heard, not once written.
    for (qint64 at = lead; at < end; at += 1500) {
        out->hearUpTo(at);
        QTRY_VERIFY(written() - at > AudioOut::kRefillSamples || written() == end);
        QVERIFY(written() - at <= AudioOut::kRefillSamples + AudioOut::kPieceSamples);
        QTRY_COMPARE(heard.started.size(), at < secondStart ? 1u : 2u);
    }
    QTRY_VERIFY(heard.finished);
    QCOMPARE(out->log().samples, QByteArray(882, '\0') + toneOf(22, 50) + toneOf(25, 25));
}

void TestNotePlayer::stopWhileWaiting()
{
    auto *out = new RecordingAudioOut;
    out->hearUpTo(0);
    NotePlayer player{std::unique_ptr<AudioOut>(out), Tone::Sine};
    Heard heard(player);
    player.play(22, 255);
    player.start();
    QTRY_COMPARE(out->log().samples.size(), 2 * (441 + AudioOut::kPieceSamples));
    // What was queued is heard out, then a 5 ms fade; the note had begun to sound.
    QCOMPARE(player.stop(), 0);
    const RecordingAudioOut::Log log = out->log();
    QCOMPARE(log.samples.size(), 2 * (441 + AudioOut::kPieceSamples + NoteTone::kFadeSamples));
    QCOMPARE(samplesOf(log.samples).back(), 0);
    QVERIFY(log.drained && log.closed);
}

void TestNotePlayer::stopAtOnce()
{
    auto *out = new RecordingAudioOut;
    out->holdAfterBytes = 882 + 2 * 4410; // 100 ms into the first note
    NotePlayer player{std::unique_ptr<AudioOut>(out), Tone::Square};
    Heard heard(player);
    player.play(22, 255);
    player.play(25, 255);
    player.start();
    QTRY_VERIFY(out->held());
    QCOMPARE(player.stop(), 0);

    const RecordingAudioOut::Log log = out->log();
    const std::vector<int> samples = samplesOf(log.samples);
    QCOMPARE(int(samples.size()), 441 + 4410 + 220); // a 5 ms fade, not a sample of the next note
    QCOMPARE(samples.back(), 0);
    QVERIFY(log.closed);
    QCoreApplication::processEvents();
    QVERIFY(!heard.finished);
    QVERIFY(heard.failures.empty());
}

void TestNotePlayer::stopHeldByTheServer()
{
    auto *out = new RecordingAudioOut;
    out->holdAfterBytes = 882; // the lead-in
    out->answersStops = false;
    NotePlayer player{std::unique_ptr<AudioOut>(out), Tone::Square};
    player.play(22, 50);
    player.start();
    QTRY_VERIFY(out->held());
    player.requestStop();
    QVERIFY(!player.waitStopped(std::chrono::milliseconds(50)));
    out->answerAgain();
    QVERIFY(player.waitStopped(std::chrono::seconds(5)));
    QCOMPARE(player.lastStarted(), -1);
    QCOMPARE(out->log().samples.size(), 882); // nothing after the stop
}

void TestNotePlayer::soundFails_data()
{
    QTest::addColumn<bool>("opens");
    QTest::addColumn<AudioProblem>("problem");
    QTest::addColumn<int>("bytesHeard");
    QTest::newRow("no server") << false << AudioProblem::NoServer << 0;
    QTest::newRow("server gone while playing") << true << AudioProblem::ServerGone << 882 + 8820;
}

void TestNotePlayer::soundFails()
{
    QFETCH(bool, opens);
    QFETCH(AudioProblem, problem);
    QFETCH(int, bytesHeard);
    auto *out = new RecordingAudioOut;
    if (opens)
        out->failAfterBytes = bytesHeard;
    else
        out->openAnswer = problem;
    NotePlayer player{std::unique_ptr<AudioOut>(out), Tone::Square};
    Heard heard(player);
    playThrough(player, {{22, 50}, {25, 50}});
    QTRY_COMPARE(heard.failures, std::vector<AudioProblem>{problem});
    QCOMPARE(player.stop(), opens ? 0 : -1);
    QVERIFY(!heard.finished);
    QCOMPARE(out->log().samples.size(), bytesHeard);
}

QTEST_GUILESS_MAIN(TestNotePlayer)
#include "tst_noteplayer.moc"
