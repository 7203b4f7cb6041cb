// SPDX-License-Identifier: GPL-3.0-or-later
#include "melodytext.h"
#include "rtttlreader.h"

#include <QTest>

class TestRtttlReader : public QObject {
    Q_OBJECT
private slots:
    void read_data();
    void read();
    void numbersSaidAsWritten_data();
    void numbersSaidAsWritten();
};

void TestRtttlReader::read_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("skipRests");
    QTest::addColumn<QStringList>("notes");
    QTest::addColumn<QStringList>("problems"); // "line:column" only
    QTest::addColumn<QStringList>("remarks");

    QTest::newRow("A of octave 4 is La3")
        << u"la:d=4,o=5,b=120:a4,8a5"_qs << false
        << QStringList{u"1: 120|La3|Noire"_qs, u"1: 120|La4|Croche=1/2 Noire"_qs} << QStringList()
        << QStringList();
    QTest::newRow("defaults d, o, b")
        << u"x:d=8,o=4,b=90:c,e,16g#"_qs << false
        << QStringList{u"1: 90|Do3|Croche=1/2 Noire"_qs, u"1: 90|Mi3|Croche=1/2 Noire"_qs,
                       u"1: 90|Sol#3|Double Croche=1/4 Noire"_qs}
        << QStringList() << QStringList();
    QTest::newRow("no defaults: d=4, o=6, b=63, moved down")
        << u"x::a"_qs << false << QStringList{u"1: 63|La4|Noire"_qs} << QStringList()
        << QStringList{u"Mélodie descendue de 1 octave pour tenir entre Do2 et Si4."_qs};
    QTest::newRow("every value, dot before or after the octave")
        << u"x:d=4,o=4,b=120:1c,2.c,2c,4c.,4c,8.c,8c,16c4.,16c"_qs << false
        << QStringList{u"1: 120|Do3|Ronde=4 Noires"_qs,
                       u"1: 120|Do3|Blanche pointée"_qs,
                       u"1: 120|Do3|Blanche=2 Noires"_qs,
                       u"1: 120|Do3|Noire pointée"_qs,
                       u"1: 120|Do3|Noire"_qs,
                       u"1: 120|Do3|Croche pointée"_qs,
                       u"1: 120|Do3|Croche=1/2 Noire"_qs,
                       u"1: 120|Do3|Double Croche pointée"_qs,
                       u"1: 120|Do3|Double Croche=1/4 Noire"_qs}
        << QStringList() << QStringList();
    QTest::newRow("sharps are named as the table names them")
        << u"x:d=4,o=4,b=120:c#,d#,f#,g#,a#,h"_qs << false
        << QStringList{u"1: 120|Do#3|Noire"_qs,  u"1: 120|Mib3|Noire"_qs, u"1: 120|Fa#3|Noire"_qs,
                       u"1: 120|Sol#3|Noire"_qs, u"1: 120|Sib3|Noire"_qs, u"1: 120|Si3|Noire"_qs}
        << QStringList() << QStringList();
    QTest::newRow("upper case, spaces, lines, trailing comma")
        << u"# sonnerie\nX : D=4, O=5, B=150 :\n 8A4 ,\n  8C#5,\n"_qs << false
        << QStringList{u"3: 150|La3|Croche=1/2 Noire"_qs, u"4: 150|Do#4|Croche=1/2 Noire"_qs}
        << QStringList() << QStringList();
    QTest::newRow("moved up two octaves")
        << u"x:d=4,o=1,b=120:c,b"_qs << false
        << QStringList{u"1: 120|Do2|Noire"_qs, u"1: 120|Si2|Noire"_qs} << QStringList()
        << QStringList{u"Mélodie montée de 2 octaves pour tenir entre Do2 et Si4."_qs};
    QTest::newRow("all 36 notes fit as they are")
        << u"x:d=4,o=5,b=120:c3,b5"_qs << false
        << QStringList{u"1: 120|Do2|Noire"_qs, u"1: 120|Si4|Noire"_qs} << QStringList()
        << QStringList();
    QTest::newRow("rests skipped when asked")
        << u"x:d=4,o=5,b=120:a4,p,8p,a4"_qs << true
        << QStringList{u"1: 120|La3|Noire"_qs, u"1: 120|La3|Noire"_qs} << QStringList()
        << QStringList{u"2 silences ignorés (--skip-rests) : les notes suivantes sont "
                       "avancées d'autant."_qs};

    // Refused: every problem with its position, and no note for the refused ones.
    QTest::newRow("rest") << u"x:d=4,o=5,b=120:a4,p,a4"_qs << false
                          << QStringList{u"1: 120|La3|Noire"_qs, u"1: 120|La3|Noire"_qs}
                          << QStringList{u"1:20"_qs} << QStringList();
    QTest::newRow("32nd, dotted whole, 3")
        << u"x:d=4,o=5,b=120:32a4,1.a4,3a4"_qs << false << QStringList()
        << QStringList{u"1:17"_qs, u"1:22"_qs, u"1:27"_qs} << QStringList();
    QTest::newRow("unreadable notes")
        << u"x:d=4,o=5,b=120:x4,2.a4.,a#b,,4 a"_qs << false << QStringList()
        << QStringList{u"1:17"_qs, u"1:20"_qs, u"1:26"_qs, u"1:30"_qs, u"1:31"_qs} << QStringList();
    QTest::newRow("wider than 36 notes: at the high note")
        << u"x:d=4,o=5,b=120:c3,c6"_qs << false << QStringList() << QStringList{u"1:20"_qs}
        << QStringList();
    QTest::newRow("wider than 36 notes: at the low note")
        << u"x:d=4,o=5,b=120:c6,a5,c3"_qs << false << QStringList() << QStringList{u"1:23"_qs}
        << QStringList();
    QTest::newRow("36 wide but not at whole octaves")
        << u"x:d=4,o=5,b=120:e2,d#5"_qs << false << QStringList() << QStringList{u"1:20"_qs}
        << QStringList();
    QTest::newRow("bad settings") << u"x:d=3,o=12,q=1,b=0:a4"_qs << false << QStringList()
                                  << QStringList{u"1:3"_qs, u"1:7"_qs, u"1:12"_qs, u"1:16"_qs}
                                  << QStringList();
    QTest::newRow("not RTTTL") << u"120;La3;Noire"_qs << false << QStringList()
                               << QStringList{u"1:0"_qs} << QStringList();
    QTest::newRow("two melodies") << u"a:d=4:c,d\nb:d=4:e"_qs << false << QStringList()
                                  << QStringList{u"2:2"_qs} << QStringList();
    QTest::newRow("no notes") << u"x:d=4:"_qs << false << QStringList() << QStringList{u"1:7"_qs}
                              << QStringList();
}

void TestRtttlReader::read()
{
    QFETCH(QString, text);
    QFETCH(bool, skipRests);
    QFETCH(QStringList, notes);
    QFETCH(QStringList, problems);
    QFETCH(QStringList, remarks);

    const MelodyReading reading = RtttlReader::read(text, skipRests);
    QStringList where;
    for (const QString &problem : problemsOf(reading.problems))
        where << problem.section(u' ', 0, 0);
    QCOMPARE(where, problems);
    if (problems.isEmpty() || !notes.isEmpty())
        QCOMPARE(notesOf(reading), notes);
    QCOMPARE(reading.remarks, remarks);
}

// Leading zeros are a number; too many digits are too big, never 0; b= is read as the window
// reads a tempo; a long token is cut as table fields are.
void TestRtttlReader::numbersSaidAsWritten_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("notes");
    QTest::addColumn<QString>("problem"); // the first one, whole

    QTest::newRow("leading zeros")
        << u"x:d=4,o=5,b=120:00016c"_qs << QStringList{u"1: 120|Do4|Double Croche=1/4 Noire"_qs}
        << QString();
    QTest::newRow("signed tempo") << u"x:d=4,o=5,b=+120:c"_qs << QStringList{u"1: 120|Do4|Noire"_qs}
                                  << QString();
    QTest::newRow("100000 digits")
        << u"x:d=4,o=5,b=120:"_qs + QString(100000, u'9') + u"c"_qs << QStringList()
        << u"1:17 Durée trop grande : « \u2068"_qs + QString(40, u'9') +
               u"…\u2069 ». Indiquez 1, 2, 4, 8 ou 16, pointée ou non."_qs;
    QTest::newRow("tempo too big")
        << u"x:d=4,o=5,b=99999:c"_qs << QStringList()
        << u"1:11 Tempo trop grand : « \u2068b=99999\u2069 ». Indiquez b= de 1 à 24000 : "
           "au-delà, aucune valeur de note ne dure une unité."_qs;
}

void TestRtttlReader::numbersSaidAsWritten()
{
    QFETCH(QString, text);
    QFETCH(QStringList, notes);
    QFETCH(QString, problem);

    const MelodyReading reading = RtttlReader::read(text, false);
    const QStringList problems = problemsOf(reading.problems);
    QCOMPARE(problems.value(0), problem);
    if (problem.isEmpty())
        QCOMPARE(notesOf(reading), notes);
}

QTEST_GUILESS_MAIN(TestRtttlReader)
#include "tst_rtttlreader.moc"
