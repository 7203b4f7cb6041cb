// SPDX-License-Identifier: GPL-3.0-or-later
#include "melodyfile.h"
#include "melodytext.h"
#include "tablereader.h"

#include <QTest>

class TestTableReader : public QObject {
    Q_OBJECT
private slots:
    void read_data();
    void read();
    void crOnlyLineEnds();
};

void TestTableReader::read_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("notes");
    QTest::addColumn<QStringList>("problems"); // "line:column" only

    const QStringList twoNotes{u"1: 120|La3|Noire"_qs, u"2: 60|Do#2|Croche=1/2 Noire"_qs};
    QTest::newRow("semicolons") << u"120;La3;Noire\n60;Do#2;Croche=1/2 Noire\n"_qs << twoNotes
                                << QStringList();
    QTest::newRow("commas") << u"120,La3,Noire\n60,Do#2,Croche=1/2 Noire"_qs << twoNotes
                            << QStringList();
    QTest::newRow("tabs, spaces around")
        << u"120\tLa3\t Noire \n 60 \tDo#2\tCroche=1/2 Noire"_qs << twoNotes << QStringList();
    QTest::newRow("CRLF") << u"120;La3;Noire\r\n60;Do#2;Croche=1/2 Noire\r\n"_qs << twoNotes
                          << QStringList();
    QTest::newRow("quoted by a spreadsheet")
        << u"\"120\";\"La3\";\"Noire\"\n60;Do#2;Croche=1/2 Noire"_qs << twoNotes << QStringList();
    QTest::newRow("column titles, any case")
        << u"tempo;NOTES;Durée\n120;La3;Noire"_qs << QStringList{u"2: 120|La3|Noire"_qs}
        << QStringList();
    QTest::newRow("comments and blank lines, sharp notes kept")
        << u"# Au clair de la lune\n\n  # tempo;note;valeur\n120;Do#3;Noire\n"_qs
        << QStringList{u"4: 120|Do#3|Noire"_qs} << QStringList();
    QTest::newRow("titles only on the first line")
        << u"120;La3;Noire\nTempo;Notes;Durée"_qs
        << QStringList{u"1: 120|La3|Noire"_qs, u"2: Tempo|Notes|Durée"_qs} << QStringList();
    QTest::newRow("empty columns on the right")
        << u"120;La3;Noire;;\n60;Do#2;Croche=1/2 Noire; ;"_qs << twoNotes << QStringList();
    QTest::newRow("empty fields are passed on")
        << u";La3;"_qs << QStringList{u"1: |La3|"_qs} << QStringList();
    QTest::newRow("too few and too many fields")
        << u"120;La3\n120;La3;Noire;x\n  90\n120;La3;Noire"_qs
        << QStringList{u"4: 120|La3|Noire"_qs} << QStringList{u"1:1"_qs, u"2:1"_qs, u"3:3"_qs};
    QTest::newRow("separator of the first line rules")
        << u"120;La3;Noire\n120,La3,Noire"_qs << QStringList{u"1: 120|La3|Noire"_qs}
        << QStringList{u"2:1"_qs};
    QTest::newRow("nothing") << u"\n\n# rien\n"_qs << QStringList() << QStringList();
}

void TestTableReader::read()
{
    QFETCH(QString, text);
    QFETCH(QStringList, notes);
    QFETCH(QStringList, problems);

    const MelodyReading reading = TableReader::read(text);
    QCOMPARE(notesOf(reading), notes);
    QStringList where;
    for (const QString &problem : problemsOf(reading.problems))
        where << problem.section(u' ', 0, 0);
    QCOMPARE(where, problems);
}

void TestTableReader::crOnlyLineEnds()
{
    // Saved by an old Mac editor: each CR ends a line, as the file's own bytes say.
    const MelodyFile::Text text =
        MelodyFile::decode(QByteArray("Tempo;Notes;Dur\xE9"
                                      "e\r120;La3;Noire\r60;Do#2;Croche=1/2 Noire\r"));
    QVERIFY2(text.ok(), qPrintable(text.problem));
    const MelodyReading reading = TableReader::read(text.text);
    QCOMPARE(problemsOf(reading.problems), QStringList());
    QCOMPARE(notesOf(reading),
             (QStringList{u"2: 120|La3|Noire"_qs, u"3: 60|Do#2|Croche=1/2 Noire"_qs}));
}

QTEST_GUILESS_MAIN(TestTableReader)
#include "tst_tablereader.moc"
