// SPDX-License-Identifier: GPL-3.0-or-later
#include "melodyplan.h"
#include "melodytext.h"
#include "rtttlreader.h"
#include "tablereader.h"

#include <QTest>

// The checks a melody file goes through are the window's: same tables, same words.
class TestMelodyPlan : public QObject {
    Q_OBJECT
private slots:
    void frames();
    void problems_data();
    void problems();
    void nothingPlannedWithAProblem();
    void octaveMoveSaidOnlyWhenAccepted();
};

void TestMelodyPlan::frames()
{
    const MelodyPlan plan = MelodyPlan::make(
        TableReader::read(u"120;La3;Noire\n60;Si4;Ronde=4 Noires\n90;Do2;Ronde=4 Noires\n"
                          "180;Sol#3;Double Croche=1/4 Noire\n100;Do3;Noire"_qs),
        5);
    QVERIFY(plan.ok());
    QStringList lines;
    for (const PlannedFrame &planned : plan.frames())
        lines << planned.describe() + u' ' + QString::fromLatin1(planned.frame.toBytes().toHex());
    QCOMPARE(lines, (QStringList{u"Note 5 @8 : La3, Noire (50) 081632"_qs,
                                 u"Note 6 @10 : Si4, Ronde=4 Noires (255) 0a24ff"_qs,
                                 u"Note 7 @12 : Do2, Ronde=4 Noires (253) 0c01fd"_qs,
                                 u"Note 8 @14 : Sol#3, Double Croche=1/4 Noire (8) 0e1508"_qs,
                                 u"Note 9 @16 : Do3, Noire (60) 100d3c"_qs}));
}

void TestMelodyPlan::problems_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<int>("firstSlot");
    QTest::addColumn<QStringList>("problems");

    QTest::newRow("window's words, at the field")
        << u"120;La9;Noire\n70;Do3;Ronde=4 Noires\nvite;Do3;Noire\n120;Do3;noire"_qs << 1
        << QStringList{
               u"1:5 Note inconnue : « \u2068La9\u2069 ». Choisissez une note dans la liste."_qs,
               u"2:8 Durée impossible à envoyer : « \u2068Ronde=4 Noires\u2069 » au tempo 70 donne "
               u"342, plus "
               "que 255. Choisissez un tempo plus rapide ou une note plus courte."_qs,
               u"3:1 Tempo invalide : « \u2068vite\u2069 ». Indiquez un nombre entier supérieur à 0."_qs,
               u"4:9 Valeur de note inconnue : « \u2068noire\u2069 ». Vouliez-vous dire « \u2068Noire\u2069 » ?"_qs};
    QTest::newRow("empty fields as lists left unchosen")
        << u";;"_qs << 1
        << QStringList{u"1:1 Veillez indiquer un Tempo"_qs,
                       u"1:2 Veillez indiquer une valeur de note"_qs,
                       u"1:3 Veillez indiquer une durée de note"_qs};
    QTest::newRow("more notes than slots from --from")
        << u"120;La3;Noire\n120;La3;Noire\n120;La3;Noire"_qs << 30
        << QStringList{u"3:5 Trop de notes : 3 notes, mais seulement 2 emplacements de la note "
                       "30 à la note 31. Le nombre maximum de notes (31) serait dépassé dès "
                       "cette note."_qs};
    QTest::newRow("no note") << u"# vide\n"_qs << 1
                             << QStringList{u"1:0 Aucune note dans le fichier."_qs};
}

void TestMelodyPlan::problems()
{
    QFETCH(QString, table);
    QFETCH(int, firstSlot);
    QFETCH(QStringList, problems);
    const MelodyPlan plan = MelodyPlan::make(TableReader::read(table), firstSlot);
    QCOMPARE(problemsOf(plan.problems()), problems);
}

void TestMelodyPlan::nothingPlannedWithAProblem()
{
    QString table;
    for (int i = 0; i < 32; ++i)
        table += u"120;La3;Noire\n"_qs;
    QVERIFY(MelodyPlan::make(TableReader::read(table.section(u'\n', 0, 30)), 1).ok());
    const MelodyPlan plan = MelodyPlan::make(TableReader::read(table), 1);
    QCOMPARE(plan.problems().size(), 1u);
    QVERIFY(plan.frames().empty());
}

void TestMelodyPlan::octaveMoveSaidOnlyWhenAccepted()
{
    // Written an octave high: moved down, then refused for its tempo.
    const MelodyReading refused = RtttlReader::read(u"x:d=1,o=6,b=30:a"_qs, false);
    QCOMPARE(refused.remarks.size(), 1);
    QVERIFY(!MelodyPlan::make(refused, 1).ok());
    QVERIFY(MelodyPlan::make(refused, 1).remarks().isEmpty());

    const MelodyPlan accepted =
        MelodyPlan::make(RtttlReader::read(u"x:d=4,o=6,b=120:a"_qs, false), 1);
    QVERIFY(accepted.ok());
    QCOMPARE(accepted.remarks(),
             QStringList{u"Mélodie descendue de 1 octave pour tenir entre Do2 et Si4."_qs});
}

QTEST_GUILESS_MAIN(TestMelodyPlan)
#include "tst_melodyplan.moc"
