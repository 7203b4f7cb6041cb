// SPDX-License-Identifier: GPL-3.0-or-later
#include "melodyfile.h"

#include <QTemporaryDir>
#include <QTest>

class TestMelodyFile : public QObject {
    Q_OBJECT
private slots:
    void decode_data();
    void decode();
    void tooBig();
    void format_data();
    void format();
};

void TestMelodyFile::decode_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");    // when accepted
    QTest::addColumn<QString>("problem"); // the start of the refusal

    const QString titles = u"Tempo;Notes;Durée\r\n"_qs;
    QTest::newRow("UTF-8") << QByteArray("Tempo;Notes;Dur\xC3\xA9"
                                         "e\r\n")
                           << titles << QString();
    QTest::newRow("UTF-8 with BOM") << QByteArray("\xEF\xBB\xBFTempo;Notes;Dur\xC3\xA9"
                                                  "e\r\n")
                                    << titles << QString();
    QTest::newRow("Windows-1252 from a spreadsheet") << QByteArray("Tempo;Notes;Dur\xE9"
                                                                   "e\r\n")
                                                     << titles << QString();
    QTest::newRow("Windows-1252 beyond Latin-1") << QByteArray("\x80\x9C") << u"€œ"_qs << QString();
    QTest::newRow("UTF-16 LE with BOM") << QByteArray("\xFF\xFE"
                                                      "1\0"
                                                      "2\0"
                                                      "0\0",
                                                      8)
                                        << u"120"_qs << QString();
    QTest::newRow("NUL byte") << QByteArray("120;La3\0;Noire", 14) << QString()
                              << u"Fichier binaire : octet nul à la ligne 1"_qs;
    QTest::newRow("control character") << QByteArray("120;La3;Noire\n\x1B[2J") << QString()
                                       << u"Fichier binaire : caractère de contrôle U+001B à la "
                                          "ligne 2"_qs;
    QTest::newRow("neither UTF-8 nor Windows-1252")
        << QByteArray("120;La3\n;Noire\x81") << QString()
        << u"Texte illisible : l'octet 0x81 (ligne 2) n'est pas du UTF-8 ni du Windows-1252"_qs;
    QTest::newRow("BOM then bad UTF-8")
        << QByteArray("\xEF\xBB\xBF"
                      "120;La3\n\n;Dur\xE9"
                      "e")
        << QString() << u"Texte illisible : l'octet 0xE9 (ligne 3) n'est pas du UTF-8."_qs;
    QTest::newRow("UTF-8 with one stray byte in a comment")
        << QByteArray("Tempo;Notes;Dur\xC3\xA9"
                      "e\n# caf\xE9\n120;La3;Noire\n")
        << QString()
        << u"Texte illisible : l'octet 0xE9 (ligne 2, colonne 6) n'est pas de l'UTF-8, alors que "
           "le reste du fichier en est."_qs;
    QTest::newRow("stray byte after CR-only lines")
        << QByteArray("Dur\xC3\xA9"
                      "e\r\r\xFF")
        << QString() << u"Texte illisible : l'octet 0xFF (ligne 3, colonne 1)"_qs;
    QTest::newRow("CR-only line ends") << QByteArray("120;La3;Noire\r60;Do2;Noire\r")
                                       << u"120;La3;Noire\n60;Do2;Noire\n"_qs << QString();
    QTest::newRow("UTF-16 LE without BOM")
        << QByteArray("1\0"
                      "2\0"
                      "0\0",
                      6)
        << QString() << u"Texte en UTF-16 sans marque d'ordre des octets"_qs;
    QTest::newRow("odd UTF-16") << QByteArray("\xFF\xFE"
                                              "1\0"
                                              "2",
                                              5)
                                << QString() << u"Texte illisible"_qs;
}

void TestMelodyFile::decode()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QFETCH(QString, problem);

    const MelodyFile::Text decoded = MelodyFile::decode(bytes);
    QVERIFY2(decoded.problem.startsWith(problem), qPrintable(decoded.problem));
    QCOMPARE(decoded.ok(), problem.isEmpty());
    if (decoded.ok())
        QCOMPARE(decoded.text, text);
}

void TestMelodyFile::tooBig()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"grosse.csv"_qs);
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    const QByteArray line("120;La3;Noire\n"); // 14 bytes
    const QByteArray exact = line.repeated(MelodyFile::kMaxSize / line.size()) +
                             QByteArray(MelodyFile::kMaxSize % line.size(), '\n');
    file.write(exact);
    file.flush();
    QVERIFY(MelodyFile::read(path).ok()); // 1 MiB exactly is still read
    file.write("\n");
    file.close();
    QVERIFY(MelodyFile::read(path).problem.startsWith(u"Fichier trop gros"_qs));
    // The system's answer in French; the caller says the path, once.
    QCOMPARE(MelodyFile::read(dir.filePath(u"absent.csv"_qs)).problem,
             u"Impossible de lire le fichier : fichier ou dossier introuvable."_qs);
    QCOMPARE(MelodyFile::read(dir.path()).problem,
             u"c'est un dossier, pas un fichier de mélodie."_qs);
}

void TestMelodyFile::format_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("rtttl");

    QTest::newRow("csv") << u"a.csv"_qs << u"x:d=4:c"_qs << false;
    QTest::newRow("rtttl") << u"a.RTTTL"_qs << u"120;La3;Noire"_qs << true;
    QTest::newRow("txt table") << u"a.txt"_qs << u"# x:y:z\n120;La3;Noire"_qs << false;
    QTest::newRow("txt ring tone") << u"a.txt"_qs << u"\n# air\nx:d=4:c"_qs << true;
}

void TestMelodyFile::format()
{
    QFETCH(QString, path);
    QFETCH(QString, text);
    QFETCH(bool, rtttl);
    QCOMPARE(MelodyFile::formatOf(path, text) == MelodyFormat::Rtttl, rtttl);
}

QTEST_GUILESS_MAIN(TestMelodyFile)
#include "tst_melodyfile.moc"
