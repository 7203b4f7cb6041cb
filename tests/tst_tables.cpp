// SPDX-License-Identifier: GPL-3.0-or-later
#include "durationtable.h"
#include "nearestname.h"
#include "notetable.h"
#include "tempolist.h"

#include <QTest>

class TestTables : public QObject {
    Q_OBJECT
private slots:
    void listsInDisplayOrder();
    void durationMatrix_data();
    void durationMatrix();
    void typedTempos_data();
    void typedTempos();
    void noteCodes_data();
    void noteCodes();
    void namesMatchExactly_data();
    void namesMatchExactly();
    void nearMisses_data();
    void nearMisses();
};

void TestTables::listsInDisplayOrder()
{
    QStringList tempos;
    for (QStringView tempo : TempoList)
        tempos << tempo.toString();
    QCOMPARE(tempos, QStringList({u"60"_qs, u"90"_qs, u"120"_qs, u"150"_qs, u"180"_qs}));

    QStringList values;
    for (const DurationEntry &entry : DurationTable)
        values << entry.name.toString();
    QCOMPARE(values, QStringList({u"Ronde=4 Noires"_qs, u"Blanche pointée"_qs,
                                  u"Blanche=2 Noires"_qs, u"Noire pointée"_qs, u"Noire"_qs,
                                  u"Croche pointée"_qs, u"Croche=1/2 Noire"_qs,
                                  u"Double Croche pointée"_qs, u"Double Croche=1/4 Noire"_qs}));
    // "é" is one character, not two bytes read as Latin-1.
    QCOMPARE(DurationTable[1].name.size(), 15);

    const QStringList syllables{u"Do"_qs,  u"Do#"_qs, u"Re"_qs,   u"Mib"_qs, u"Mi"_qs,  u"Fa"_qs,
                                u"Fa#"_qs, u"Sol"_qs, u"Sol#"_qs, u"La"_qs,  u"Sib"_qs, u"Si"_qs};
    QCOMPARE(NoteTable.size(), 36u);
    for (qsizetype i = 0; i < qsizetype(NoteTable.size()); ++i) {
        const QString expected = syllables[i % 12] + QString::number(2 + i / 12);
        QCOMPARE(NoteTable[i].name.toString(), expected);
        QCOMPARE(int(NoteTable[i].code), int(i + 1));
    }
}

void TestTables::durationMatrix_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QList<int>>("expected"); // at 60, 90, 120, 150, 180

    QTest::newRow("ronde") << u"Ronde=4 Noires"_qs << QList<int>{255, 253, 200, 160, 133};
    QTest::newRow("blanche pointée")
        << u"Blanche pointée"_qs << QList<int>{254, 200, 150, 120, 100};
    QTest::newRow("blanche") << u"Blanche=2 Noires"_qs << QList<int>{200, 133, 100, 80, 66};
    QTest::newRow("noire pointée") << u"Noire pointée"_qs << QList<int>{150, 100, 75, 60, 50};
    QTest::newRow("noire") << u"Noire"_qs << QList<int>{100, 66, 50, 40, 33};
    QTest::newRow("croche pointée") << u"Croche pointée"_qs << QList<int>{75, 50, 37, 30, 25};
    QTest::newRow("croche") << u"Croche=1/2 Noire"_qs << QList<int>{50, 33, 25, 20, 16};
    QTest::newRow("double croche pointée")
        << u"Double Croche pointée"_qs << QList<int>{37, 25, 18, 15, 12};
    QTest::newRow("double croche")
        << u"Double Croche=1/4 Noire"_qs << QList<int>{25, 16, 12, 10, 8};
}

void TestTables::durationMatrix()
{
    QFETCH(QString, value);
    QFETCH(QList<int>, expected);

    const std::optional<qint32> dividend = DurationDividendFor(value);
    QVERIFY(dividend);
    for (qsizetype i = 0; i < qsizetype(TempoList.size()); ++i) {
        const DurationResult result = ComputeDurationCode(*dividend, TempoList[i]);
        QVERIFY2(result.ok(), qPrintable(TempoList[i].toString()));
        QCOMPARE(result.value, expected[i]);
    }
}

void TestTables::typedTempos_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("tempo");
    QTest::addColumn<int>("problem");
    QTest::addColumn<int>("expected");

    const int none = int(DurationProblem::None);
    const int notANumber = int(DurationProblem::TempoNotANumber);
    const int notPositive = int(DurationProblem::TempoNotPositive);
    const int outOfRange = int(DurationProblem::OutOfByteRange);
    const int tooLarge = int(DurationProblem::TempoTooLarge);
    const int zero = int(DurationProblem::ZeroLength);
    const int reserved = int(DurationProblem::ReservedByte);

    QTest::newRow("100 noire") << u"Noire"_qs << u"100"_qs << none << 60;
    QTest::newRow("100 ronde") << u"Ronde=4 Noires"_qs << u"100"_qs << none << 240;
    QTest::newRow("spaces around") << u"Noire"_qs << u" \t100 "_qs << none << 60;
    QTest::newRow("plus sign") << u"Noire"_qs << u"+120"_qs << none << 50;
    QTest::newRow("one") << u"Double Croche=1/4 Noire"_qs << u"1"_qs << outOfRange << 1500;
    QTest::newRow("70 ronde gives 342") << u"Ronde=4 Noires"_qs << u"70"_qs << outOfRange << 342;
    QTest::newRow("typed 300 folds") << u"Ronde=4 Noires"_qs << u"80"_qs << none << 254;
    QTest::newRow("typed 400 folds") << u"Blanche=2 Noires"_qs << u"30"_qs << none << 255;
    QTest::newRow("406 stays 406") << u"Ronde=4 Noires"_qs << u"59"_qs << outOfRange << 406;
    QTest::newRow("huge tempo gives 0") << u"Noire"_qs << u"2147483647"_qs << zero << 0;
    QTest::newRow("2000 gives 0") << u"Double Croche=1/4 Noire"_qs << u"2000"_qs << zero << 0;
    QTest::newRow("1500 gives 1") << u"Double Croche=1/4 Noire"_qs << u"1500"_qs << none << 1;
    QTest::newRow("natural 253") << u"Blanche pointée"_qs << u"71"_qs << reserved << 253;
    QTest::newRow("natural 255") << u"Ronde=4 Noires"_qs << u"94"_qs << reserved << 255;
    QTest::newRow("natural 255 from 47") << u"Blanche=2 Noires"_qs << u"47"_qs << reserved << 255;
    QTest::newRow("252 is sent") << u"Ronde=4 Noires"_qs << u"95"_qs << none << 252;
    QTest::newRow("typed 266 folds") << u"Ronde=4 Noires"_qs << u"90"_qs << none << 253;
    QTest::newRow("zero") << u"Noire"_qs << u"0"_qs << notPositive << 0;
    QTest::newRow("negative") << u"Noire"_qs << u"-60"_qs << notPositive << 0;
    QTest::newRow("lowest 32-bit") << u"Noire"_qs << u"-2147483648"_qs << notPositive << 0;
    QTest::newRow("beyond 32 bits") << u"Noire"_qs << u"99999999999"_qs << tooLarge << 0;
    QTest::newRow("just beyond") << u"Noire"_qs << u"2147483648"_qs << tooLarge << 0;
    QTest::newRow("just beyond, signed") << u"Noire"_qs << u" +2147483648\t"_qs << tooLarge << 0;
    QTest::newRow("below 32 bits") << u"Noire"_qs << u"-2147483649"_qs << notANumber << 0;
    QTest::newRow("beyond, with a no-break space")
        << u"Noire"_qs << u"2147483648\u00a0"_qs << notANumber << 0;
    QTest::newRow("letters") << u"Noire"_qs << u"abc"_qs << notANumber << 0;
    QTest::newRow("empty") << u"Noire"_qs << QString() << notANumber << 0;
    QTest::newRow("sign alone") << u"Noire"_qs << u"-"_qs << notANumber << 0;
    QTest::newRow("decimal part") << u"Noire"_qs << u"120.5"_qs << notANumber << 0;
    QTest::newRow("inner space") << u"Noire"_qs << u"1 20"_qs << notANumber << 0;
    QTest::newRow("arabic-indic digits") << u"Noire"_qs << u"١٢٠"_qs << notANumber << 0;
    QTest::newRow("fullwidth digits") << u"Noire"_qs << u"１２０"_qs << notANumber << 0;
    QTest::newRow("placeholder") << u"Noire"_qs << u"Tempo"_qs << notANumber << 0;
}

void TestTables::typedTempos()
{
    QFETCH(QString, value);
    QFETCH(QString, tempo);
    QFETCH(int, problem);
    QFETCH(int, expected);

    const DurationResult result = ComputeDurationCode(*DurationDividendFor(value), tempo);
    QCOMPARE(int(result.problem), problem);
    QCOMPARE(result.value, expected);
}

void TestTables::noteCodes_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("code");

    QTest::newRow("lowest") << u"Do2"_qs << 1;
    QTest::newRow("last of octave 2") << u"Si2"_qs << 12;
    QTest::newRow("first of octave 3") << u"Do3"_qs << 13;
    QTest::newRow("la3") << u"La3"_qs << 22;
    QTest::newRow("sharp") << u"Sol#4"_qs << 33;
    QTest::newRow("highest") << u"Si4"_qs << 36;
}

void TestTables::noteCodes()
{
    QFETCH(QString, name);
    QFETCH(int, code);
    const std::optional<quint8> found = NoteCodeFor(name);
    QVERIFY(found);
    QCOMPARE(int(*found), code);
}

void TestTables::namesMatchExactly_data()
{
    QTest::addColumn<QString>("note");
    QTest::addColumn<QString>("value");

    QTest::newRow("lower case") << u"do2"_qs << u"noire"_qs;
    QTest::newRow("upper case") << u"DO2"_qs << u"NOIRE"_qs;
    QTest::newRow("trailing space") << u"Do2 "_qs << u"Noire "_qs;
    QTest::newRow("leading space") << u" Do2"_qs << u" Noire"_qs;
    QTest::newRow("prefix") << u"Do"_qs << u"Noir"_qs;
    QTest::newRow("outside the octaves") << u"Do5"_qs << u"Triple Croche"_qs;
    QTest::newRow("other spelling") << u"Ré2"_qs << u"Blanche pointee"_qs;
    QTest::newRow("look-alike characters") << u"Do♯2"_qs << u"Noire pointe\u0301e"_qs;
    QTest::newRow("empty") << QString() << QString();
}

void TestTables::namesMatchExactly()
{
    QFETCH(QString, note);
    QFETCH(QString, value);
    QVERIFY(!NoteCodeFor(note));
    QVERIFY(!DurationDividendFor(value));
}

void TestTables::nearMisses_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("meant"); // empty: no hint
    QTest::newRow("French accent") << u"Ré3"_qs << u"Re3"_qs;
    QTest::newRow("case") << u"sol#4"_qs << u"Sol#4"_qs;
    QTest::newRow("value without accents") << u"noire pointee"_qs << u"Noire pointée"_qs;
    QTest::newRow("one letter too many") << u"Mibb3"_qs << u"Mib3"_qs;
    QTest::newRow("a space too many") << u"Mib 3"_qs << u"Mib3"_qs;
    QTest::newRow("octave out of range: three as close") << u"Do5"_qs << QString();
    QTest::newRow("octave left out: three as close") << u"Fa#"_qs << QString();
    QTest::newRow("two letters off") << u"Ut3"_qs << QString();
    QTest::newRow("English name") << u"quarter"_qs << QString();
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("very long") << QString(5000, u'a') << QString();
    QTest::newRow("sharp the list writes flat") << u"Ré#3"_qs << u"Mib3"_qs;
    QTest::newRow("flat the list writes sharp") << u"lab2"_qs << u"Sol#2"_qs;
    QTest::newRow("other spelling, octave out of range") << u"Re#5"_qs << QString();
}

void TestTables::nearMisses()
{
    QFETCH(QString, typed);
    QFETCH(QString, meant);
    std::vector<QStringView> values;
    for (const DurationEntry &entry : DurationTable)
        values.push_back(entry.name);
    const std::optional<QString> hint =
        NoteCodeFor(meant) || meant.isEmpty() ? nearestNoteName(typed) : nearestName(typed, values);
    QCOMPARE(hint.value_or(QString()), meant);
}

QTEST_GUILESS_MAIN(TestTables)
#include "tst_tables.moc"
