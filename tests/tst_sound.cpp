// SPDX-License-Identifier: GPL-3.0-or-later
// What the programs play, heard on the private sound server's monitor (tests/soundbed.sh).
#include "soundmessages.h"
#include "tonemeasure.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

namespace {

constexpr int kPerMs = 44100 / 1000; // for lengths that need not be exact

double msOf(std::size_t samples)
{
    return double(samples) / 44.1;
}

// Everything the sound server's sink plays while it lives.
class Recorder {
public:
    explicit Recorder(const QString &path)
        : m_path(path)
    {
        m_parec.setStandardOutputFile(path);
        m_parec.start(QStringLiteral(PAREC),
                      {u"-d"_qs, u"null.monitor"_qs, u"--raw"_qs, u"--rate=44100"_qs,
                       u"--channels=1"_qs, u"--format=s16le"_qs, u"--latency-msec=10"_qs});
    }
    ~Recorder()
    {
        ::kill(pid_t(m_parec.processId()), SIGINT);
        m_parec.waitForFinished(5000);
    }
    qint64 size() const { return QFileInfo(m_path).size(); }
    std::vector<int> samples() const
    {
        QFile file(m_path);
        file.open(QIODevice::ReadOnly);
        return samplesOf(file.readAll());
    }

private:
    QString m_path;
    QProcess m_parec;
};

// Where notes start and the sound ends: a note fades in from silence, so it starts where the
// level rises past a tenth of the loudest after at least half a millisecond below it.
struct Heard {
    std::vector<int> samples;
    int peak = 0;
    std::vector<std::size_t> onsets;
    std::size_t end = 0; // one past the last loud sample

    explicit Heard(std::vector<int> recorded)
        : samples(std::move(recorded))
    {
        for (int sample : samples)
            peak = std::max(peak, std::abs(sample));
        std::size_t quiet = kPerMs;
        for (std::size_t i = 0; i < samples.size(); ++i) {
            if (std::abs(samples[i]) * 10 < peak) {
                ++quiet;
                continue;
            }
            if (quiet * 2 >= std::size_t(kPerMs))
                onsets.push_back(i);
            quiet = 0;
            end = i + 1;
        }
    }
    // No click: the level comes down to the join and climbs from it.
    bool fadesAround(std::size_t at) const
    {
        for (std::size_t i = at - 2 * kPerMs; i < at; ++i) {
            if (std::abs(samples[i]) * 2 > peak)
                return false;
        }
        return std::abs(samples[at]) * 10 < peak * 3;
    }
};

QString melodyFile(QTemporaryDir &dir, const QByteArray &table)
{
    QFile file(dir.filePath(u"m.csv"_qs));
    file.open(QIODevice::WriteOnly);
    file.write(table);
    return file.fileName();
}

int sendTo(const QString &port, const QString &melody)
{
    QProcess send;
    send.start(QStringLiteral(TINKORA_SEND), {melody, u"--port"_qs, port, u"--gap"_qs, u"0"_qs});
    send.waitForFinished(10000);
    return send.exitCode();
}

// Waits until what the recorder holds goes past what it held by at least this long.
void recordFurther(const Recorder &recorder, int milliseconds)
{
    const qint64 target = recorder.size() + 2 * kPerMs * milliseconds;
    QTRY_VERIFY_WITH_TIMEOUT(recorder.size() > target, 10000);
}

// A server that is not there: its socket is in a folder that holds nothing.
QProcessEnvironment noServer(const QTemporaryDir &dir)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"PULSE_SERVER"_qs, u"unix:"_qs + dir.filePath(u"absent"_qs));
    return environment;
}

} // namespace

class TestSound : public QObject {
    Q_OBJECT
private slots:
    void playedAsTheModelSays();
    void stoppedWithinFiftyMilliseconds();
    void standInSoundsEachFrame();
    void sendWithoutServer();
    void standInGoesOnWithoutServer();
};

void TestSound::playedAsTheModelSays()
{
    QTemporaryDir dir;
    const Recorder recorder(dir.filePath(u"heard.raw"_qs));
    QTRY_VERIFY(recorder.size() > 0);
    const QString melody = melodyFile(dir, "120;La3;Noire\n120;Do4;Croche=1/2 Noire\n"
                                           "120;Mi3;Croche=1/2 Noire\n120;Sol4;Noire\n");
    QProcess send;
    send.start(QStringLiteral(TINKORA_SEND), {u"--play"_qs, melody});
    QVERIFY(send.waitForFinished(20000));
    QCOMPARE(send.exitCode(), 0);
    QVERIFY(send.readAllStandardOutput().endsWith("Écoute : 4 notes jouées (1,50 s) ; rien n'a "
                                                  "été écrit.\n"));
    recordFurther(recorder, 100);

    const Heard heard(recorder.samples());
    const std::vector<double> hertz{440.0, 523.25, 329.63, 783.99};
    const std::vector<int> startMs{0, 500, 750, 1000};
    const std::vector<int> lengthMs{500, 250, 250, 500};
    QCOMPARE(heard.onsets.size(), hertz.size());
    for (std::size_t i = 0; i < hertz.size(); ++i) {
        const std::size_t onset = heard.onsets[i];
        QVERIFY2(std::abs(msOf(onset - heard.onsets[0]) - startMs[i]) <= 5,
                 qPrintable(QString::number(i)));
        const std::size_t window = std::size_t((lengthMs[i] - 20) * kPerMs);
        QVERIFY2(std::abs(pitchNear(heard.samples, onset + 10 * kPerMs, window, hertz[i]) -
                          hertz[i]) <= 1,
                 qPrintable(QString::number(hertz[i])));
        QVERIFY(heard.fadesAround(onset));
    }
    QCOMPARE(heard.peak, 8231);
    QVERIFY(std::abs(msOf(heard.end - heard.onsets[0]) - 1500) <= 5);
}

void TestSound::stoppedWithinFiftyMilliseconds()
{
    QTemporaryDir dir;
    const Recorder recorder(dir.filePath(u"heard.raw"_qs));
    QTRY_VERIFY(recorder.size() > 0);
    const QString melody = melodyFile(dir, "120;La3;Noire\n60;Do4;Ronde=4 Noires\n");
    QProcess send;
    send.start(QStringLiteral(TINKORA_SEND), {u"--play"_qs, melody});
    // Read as soon as it comes: the line is printed once the note is heard.
    QByteArray out;
    while (!out.contains("Note 2 @2") && send.waitForReadyRead(5000))
        out += send.readAllStandardOutput();
    QElapsedTimer sinceLine;
    sinceLine.start();
    ::kill(pid_t(send.processId()), SIGINT);
    const qint64 signalledMs = sinceLine.elapsed();
    QVERIFY(send.waitForFinished(5000));
    QCOMPARE(send.exitCode(), 4);
    QCOMPARE(send.readAllStandardError(),
             QByteArray("Interrompu pendant la note 2 sur 2 : le son s'est arrêté.\n"));
    recordFurther(recorder, 100);

    const Heard heard(recorder.samples());
    QCOMPARE(heard.onsets.size(), 2u);
    const double stopMs = msOf(heard.end - heard.onsets[1]) - signalledMs;
    QVERIFY2(stopMs <= 50, qPrintable(QString::number(stopMs)));
    // Faded out, not cut: under half the level 1.5 ms before the end.
    for (std::size_t i = heard.end - 3 * kPerMs / 2; i < heard.end; ++i)
        QVERIFY(std::abs(heard.samples[i]) * 2 < heard.peak);
}

void TestSound::standInSoundsEachFrame()
{
    QTemporaryDir dir;
    const QString link = dir.filePath(u"com1"_qs);
    const Recorder recorder(dir.filePath(u"heard.raw"_qs));
    QTRY_VERIFY(recorder.size() > 0);
    QProcess device;
    device.start(QStringLiteral(TINKORA_DEVICE), {u"--play"_qs, u"--link"_qs, link});
    QTRY_VERIFY(QFile::exists(link));
    const QString melody = melodyFile(dir, "120;Sol4;Croche=1/2 Noire\n120;La3;Croche=1/2 "
                                           "Noire\n120;Do4;Croche=1/2 Noire\n");
    QCOMPARE(sendTo(link, melody), 0);
    QTRY_VERIFY(device.peek(1 << 16).contains("Note 3 @4"));
    recordFurther(recorder, 1000);
    device.terminate();
    QVERIFY(device.waitForFinished(5000));
    QCOMPARE(device.exitCode(), 0);

    const Heard heard(recorder.samples());
    const std::vector<double> hertz{783.99, 440.0, 523.25};
    QCOMPARE(heard.onsets.size(), hertz.size());
    for (std::size_t i = 0; i < hertz.size(); ++i) {
        const std::size_t window = 230 * kPerMs;
        QVERIFY(std::abs(pitchNear(heard.samples, heard.onsets[i] + 10 * kPerMs, window, hertz[i]) -
                         hertz[i]) <= 1);
    }
}

void TestSound::sendWithoutServer()
{
    QTemporaryDir dir;
    QProcess send;
    send.setProcessEnvironment(noServer(dir));
    send.start(QStringLiteral(TINKORA_SEND), {u"--play"_qs, melodyFile(dir, "120;La3;Noire\n")});
    QVERIFY(send.waitForFinished(5000));
    QCOMPARE(send.exitCode(), 5);
    QCOMPARE(QString::fromUtf8(send.readAllStandardError()), noSoundServerText() + u'\n');
    QCOMPARE(send.readAllStandardOutput(), QByteArray());
}

void TestSound::standInGoesOnWithoutServer()
{
    QTemporaryDir dir;
    const QString link = dir.filePath(u"com1"_qs);
    QProcess device;
    device.setProcessEnvironment(noServer(dir));
    device.start(QStringLiteral(TINKORA_DEVICE), {u"--play"_qs, u"--link"_qs, link});
    QTRY_VERIFY(QFile::exists(link));
    const QString melody = melodyFile(dir, "120;La3;Noire\n120;Do4;Noire\n");
    QCOMPARE(sendTo(link, melody), 0);
    QTRY_VERIFY(device.peek(1 << 16).contains("Note 2 @2"));
    device.terminate();
    QVERIFY(device.waitForFinished(5000));
    QCOMPARE(device.exitCode(), 0);
    const QString err = QString::fromUtf8(device.readAllStandardError());
    QCOMPARE(err, u"tinkora-device : "_qs + noSoundServerText() +
                      u" La carte simulée continue sans son.\n"_qs);
}

QTEST_GUILESS_MAIN(TestSound)
#include "tst_sound.moc"
