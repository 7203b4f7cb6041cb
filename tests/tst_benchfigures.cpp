// SPDX-License-Identifier: GPL-3.0-or-later
#include "benchoptions.h"
#include "coverage.h"
#include "memoryfigures.h"
#include "report.h"
#include "summary.h"

#include <QTest>

using Values = std::vector<double>;
using Rects = std::vector<Rect>;
Q_DECLARE_METATYPE(Values)
Q_DECLARE_METATYPE(Rects)

class TestBenchFigures : public QObject {
    Q_OBJECT
private slots:
    void summary_data();
    void summary();
    void firstCompleteFrame_data();
    void firstCompleteFrame();
    void procStatus_data();
    void procStatus();
    void options_data();
    void options();
    void targets_data();
    void targets();
    void missingFiguresAreNeitherMetNorMissed();
};

void TestBenchFigures::summary_data()
{
    QTest::addColumn<Values>("values");
    QTest::addColumn<double>("median");
    QTest::addColumn<double>("min");
    QTest::addColumn<double>("max");
    QTest::addColumn<double>("p90");

    QTest::newRow("none") << Values{} << 0.0 << 0.0 << 0.0 << 0.0;
    QTest::newRow("one") << Values{4} << 4.0 << 4.0 << 4.0 << 4.0;
    QTest::newRow("odd count, unsorted") << Values{9, 1, 5} << 5.0 << 1.0 << 9.0 << 9.0;
    QTest::newRow("even count: mean of the middle two")
        << Values{4, 1, 3, 2} << 2.5 << 1.0 << 4.0 << 4.0;
    // Nearest rank: the 9th of 10 values, the 18th of 20, the 10th of 11.
    QTest::newRow("ten") << Values{10, 9, 8, 7, 6, 5, 4, 3, 2, 1} << 5.5 << 1.0 << 10.0 << 9.0;
    Values twenty;
    for (int i = 1; i <= 20; ++i)
        twenty.push_back(i);
    QTest::newRow("twenty") << twenty << 10.5 << 1.0 << 20.0 << 18.0;
    QTest::newRow("eleven") << Values{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 100} << 6.0 << 1.0 << 100.0
                            << 10.0;
}

void TestBenchFigures::summary()
{
    QFETCH(Values, values);
    const Summary summary(values);
    QCOMPARE(summary.count(), values.size());
    QFETCH(double, median);
    QFETCH(double, min);
    QFETCH(double, max);
    QFETCH(double, p90);
    QCOMPARE(summary.median(), median);
    QCOMPARE(summary.min(), min);
    QCOMPARE(summary.max(), max);
    QCOMPARE(summary.percentile(90), p90);
}

void TestBenchFigures::firstCompleteFrame_data()
{
    QTest::addColumn<Rect>("window");
    QTest::addColumn<Rects>("damage");
    QTest::addColumn<int>("completeAfter"); // 0: never
    QTest::addColumn<int>("uncoveredAtEnd");

    const Rect window{100, 50, 357, 261};
    QTest::newRow("one full flush") << window << Rects{{100, 50, 357, 261}} << 1 << 0;
    QTest::newRow("larger than the window") << window << Rects{{0, 0, 1280, 1024}} << 1 << 0;
    QTest::newRow("two halves") << window << Rects{{100, 50, 357, 130}, {100, 180, 357, 131}} << 2
                                << 0;
    QTest::newRow("one line missing")
        << window << Rects{{100, 50, 357, 130}, {100, 181, 357, 130}} << 0 << 357;
    QTest::newRow("the same control twice")
        << window << Rects{{116, 58, 65, 17}, {116, 58, 65, 17}} << 0 << 357 * 261 - 65 * 17;
    QTest::newRow("controls first, then the rest")
        << window << Rects{{116, 58, 65, 17}, {148, 218, 97, 73}, {100, 50, 357, 261}} << 3 << 0;
    QTest::newRow("elsewhere on the screen")
        << window << Rects{{0, 0, 100, 1024}} << 0 << 357 * 261;
    QTest::newRow("off by one to the left") << window << Rects{{99, 50, 357, 261}} << 0 << 261;
    QTest::newRow("empty window never completes")
        << Rect{0, 0, 0, 0} << Rects{{0, 0, 10, 10}} << 0 << 0;
}

void TestBenchFigures::firstCompleteFrame()
{
    QFETCH(Rect, window);
    QFETCH(Rects, damage);
    QFETCH(int, completeAfter);
    QFETCH(int, uncoveredAtEnd);

    Coverage coverage(window);
    int completedAt = 0;
    for (std::size_t i = 0; i < damage.size(); ++i) {
        coverage.add(damage[i]);
        if (coverage.complete() && completedAt == 0)
            completedAt = int(i) + 1;
    }
    QCOMPARE(completedAt, completeAfter);
    QCOMPARE(int(coverage.uncovered()), uncoveredAtEnd);
}

void TestBenchFigures::procStatus_data()
{
    QTest::addColumn<QByteArray>("status");
    QTest::addColumn<bool>("read");
    QTest::addColumn<double>("peakMiB");
    QTest::addColumn<double>("privateMiB");

    const QByteArray typical = "Name:\ttinkora\nVmPeak:\t  383000 kB\nVmHWM:\t   30720 kB\n"
                               "VmRSS:\t   30000 kB\nRssAnon:\t    3072 kB\nRssFile:\t   26000 kB\n"
                               "RssShmem:\t     100 kB\nThreads:\t3\n";
    QTest::newRow("typical") << typical << true << 30.0 << 3.0;
    QTest::newRow("last line without newline")
        << QByteArray("VmHWM:\t1024 kB\nRssAnon:\t512 kB") << true << 1.0 << 0.5;
    QTest::newRow("no RssAnon (not Linux 4.5+)")
        << QByteArray("VmHWM:\t1024 kB\n") << false << 0.0 << 0.0;
    QTest::newRow("a process gone: empty") << QByteArray() << false << 0.0 << 0.0;
    QTest::newRow("a name that only starts alike")
        << QByteArray("VmHWMx:\t1 kB\nVmHWM:\t2048 kB\nRssAnon:\t1024 kB\n") << true << 2.0 << 1.0;
    QTest::newRow("not in kB") << QByteArray("VmHWM:\t1024 MB\nRssAnon:\t512 kB\n") << false << 0.0
                               << 0.0;
}

void TestBenchFigures::procStatus()
{
    QFETCH(QByteArray, status);
    QFETCH(bool, read);
    const std::optional<MemoryFigures> figures =
        parseProcStatus(std::string_view(status.constData(), std::size_t(status.size())));
    QCOMPARE(figures.has_value(), read);
    if (!read)
        return;
    QTEST(figures->peakMiB, "peakMiB");
    QTEST(figures->privateMiB, "privateMiB");
}

void TestBenchFigures::options_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<int>("runs");
    QTest::addColumn<int>("clicks");
    QTest::addColumn<QString>("log");

    const QStringList both{u"--program"_qs, u"a/tinkora"_qs, u"--floor"_qs, u"b/qtfloor"_qs};
    QTest::newRow("defaults: 20 runs, 8 clicks a run")
        << both << true << 20 << 8 << u"/dev/null"_qs;
    QTest::newRow("all given") << both + QStringList{u"--runs"_qs, u"25"_qs,       u"--warmup"_qs,
                                                     u"0"_qs,      u"--clicks"_qs, u"30"_qs,
                                                     u"--log"_qs,  u"x.log"_qs}
                               << true << 25 << 30 << u"x.log"_qs;
    QTest::newRow("a 31st click would meet the limit warning")
        << both + QStringList{u"--clicks"_qs, u"31"_qs} << false << 0 << 0 << QString();
    QTest::newRow("no runs") << both + QStringList{u"--runs"_qs, u"0"_qs} << false << 0 << 0
                             << QString();
    QTest::newRow("not a number") << both + QStringList{u"--runs"_qs, u"20x"_qs} << false << 0 << 0
                                  << QString();
    QTest::newRow("value missing")
        << both + QStringList{u"--runs"_qs} << false << 0 << 0 << QString();
    QTest::newRow("floor missing")
        << QStringList{u"--program"_qs, u"a/tinkora"_qs} << false << 0 << 0 << QString();
    QTest::newRow("unknown option")
        << both + QStringList{u"--fast"_qs, u"1"_qs} << false << 0 << 0 << QString();
}

void TestBenchFigures::options()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, accepted);
    std::vector<QByteArray> storage{"benchmeter"};
    for (const QString &argument : arguments)
        storage.push_back(argument.toUtf8());
    std::vector<const char *> argv;
    for (const QByteArray &argument : storage)
        argv.push_back(argument.constData());

    std::string error;
    bool wantsHelp = true;
    const std::optional<BenchOptions> options =
        parseBenchOptions(int(argv.size()), argv.data(), error, wantsHelp);
    QCOMPARE(options.has_value(), accepted);
    QVERIFY(!wantsHelp);
    if (!accepted) {
        QVERIFY(error.find("usage:") != std::string::npos);
        return;
    }
    QCOMPARE(options->program, std::string("a/tinkora"));
    QCOMPARE(options->floor, std::string("b/qtfloor"));
    QTEST(options->runs, "runs");
    QTEST(options->clicks, "clicks");
    QTEST(QString::fromStdString(options->log), "log");
}

void TestBenchFigures::targets_data()
{
    // Against a floor of 40 ms to the frame, 40 ms of CPU and 3 MiB private.
    QTest::addColumn<double>("frameMs");
    QTest::addColumn<double>("cpuMs");
    QTest::addColumn<double>("privateMiB");
    QTest::addColumn<Values>("clicks");
    QTest::addColumn<QList<bool>>("holds");

    Values quick(20, 0.4);
    QTest::newRow("all within") << 40.0 << 41.0 << 3.5 << quick
                                << QList<bool>{true, true, true, true, true};
    QTest::newRow("exactly at every limit")
        << 42.0 << 42.0 << 5.0 << Values{0.5, 1.0, 1.0, 1.0, 1.0, 1.0, 1.0, 1.0, 1.0, 3.0}
        << QList<bool>{true, true, true, true, true};
    QTest::newRow("just over every limit")
        << 42.1 << 42.1 << 5.01 << Values{0.5, 1.01, 1.01, 1.01, 1.01, 1.01, 1.01, 1.01, 3.01, 3.01}
        << QList<bool>{false, false, false, false, false};
    // One slow click in ten stays within the 90th percentile; two do not.
    Values oneSlow(10, 0.5);
    oneSlow[0] = 8;
    Values twoSlow = oneSlow;
    twoSlow[1] = 8;
    QTest::newRow("one slow click in ten")
        << 40.0 << 40.0 << 3.0 << oneSlow << QList<bool>{true, true, true, true, true};
    QTest::newRow("two slow clicks in ten")
        << 40.0 << 40.0 << 3.0 << twoSlow << QList<bool>{true, true, true, true, false};
    QTest::newRow("faster and leaner than the floor")
        << 30.0 << 30.0 << 2.0 << quick << QList<bool>{true, true, true, true, true};
}

void TestBenchFigures::targets()
{
    QFETCH(double, frameMs);
    QFETCH(double, cpuMs);
    QFETCH(double, privateMiB);
    QFETCH(Values, clicks);
    QFETCH(QList<bool>, holds);

    Figures floor;
    floor.frameMs = {39, 40, 41};
    floor.cpuMs = {38, 40, 45};
    floor.privateMiB = {3, 3, 3.1};
    Figures program;
    program.frameMs = {frameMs, frameMs + 5, frameMs - 5};
    program.cpuMs = {cpuMs, cpuMs + 1, cpuMs - 1};
    program.privateMiB = {privateMiB, privateMiB, privateMiB};
    program.clickMs = clicks;

    const std::vector<Target> targets = Report(program, floor).targets();
    QCOMPARE(int(targets.size()), int(holds.size()));
    for (int i = 0; i < holds.size(); ++i) {
        const Target &target = targets[std::size_t(i)];
        QVERIFY2(target.known, target.rule.c_str());
        QVERIFY2(target.holds == holds[i], (target.rule + ": " + target.measured).c_str());
    }
}

void TestBenchFigures::missingFiguresAreNeitherMetNorMissed()
{
    Figures floor;
    floor.frameMs = {40};
    Figures program; // every run failed
    program.failedRuns = 20;
    const Report report(program, floor);
    for (const Target &target : report.targets())
        QVERIFY2(!target.known && !target.holds, target.rule.c_str());
    const std::string text = report.text();
    QVERIFY(text.find("unknown") != std::string::npos);
    QVERIFY(text.find("20 failed") != std::string::npos);
}

QTEST_APPLESS_MAIN(TestBenchFigures)
#include "tst_benchfigures.moc"
