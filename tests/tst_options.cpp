// SPDX-License-Identifier: GPL-3.0-or-later
#include "options.h"
#include "tinkoraoptions.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTest>

// The command line is decided before Qt opens a display: these run with none.
class TestOptions : public QObject {
    Q_OBJECT
private slots:
    void parse_data();
    void parse();
    void usageErrorsNameWhatWasTyped_data();
    void usageErrorsNameWhatWasTyped();
    void aFlagIsOneTableEntry();
    void helpWrapsEachParagraph();
    void program_data();
    void program();
};

static const Options &tinkora()
{
    static const Options options(u"tinkora"_qs, tinkoraDescription(), tinkoraOptions());
    return options;
}

using Action = ParsedOptions::Action;
using Arguments = QList<QByteArray>;

void TestOptions::parse_data()
{
    QTest::addColumn<Arguments>("arguments");
    QTest::addColumn<Action>("action");
    QTest::addColumn<QString>("com1");

    QTest::newRow("none") << Arguments{} << Action::Run << QString();
    QTest::newRow("value after a space")
        << Arguments{"--com1", "/dev/ttyUSB0"} << Action::Run << u"/dev/ttyUSB0"_qs;
    QTest::newRow("value after =") << Arguments{"--com1=ttyACM0"} << Action::Run << u"ttyACM0"_qs;
    QTest::newRow("a name starting with - after =")
        << Arguments{"--com1=-odd"} << Action::Run << u"-odd"_qs;
    QTest::newRow("Qt's options are left to Qt")
        << Arguments{"-platform",      "offscreen", "--style", "Fusion",
                     "-style=Adwaita", "-reverse",  "--com1",  "x"}
        << Action::Run << u"x"_qs;
    QTest::newRow("trailing --") << Arguments{"--com1", "x", "--"} << Action::Run << u"x"_qs;
    QTest::newRow("help") << Arguments{"--help"} << Action::Help << QString();
    QTest::newRow("help with Qt's") << Arguments{"--help-all"} << Action::HelpAll << QString();
    QTest::newRow("version") << Arguments{"-v"} << Action::Version << QString();
    QTest::newRow("help after an error is not reached")
        << Arguments{"--bogus", "--help"} << Action::UsageError << QString();

    QTest::newRow("unknown") << Arguments{"--bogus"} << Action::UsageError << QString();
    QTest::newRow("one dash") << Arguments{"-com1", "x"} << Action::UsageError << QString();
    QTest::newRow("stray argument") << Arguments{"ttyUSB0"} << Action::UsageError << QString();
    QTest::newRow("help after --") << Arguments{"--", "--help"} << Action::UsageError << QString();
    QTest::newRow("missing value") << Arguments{"--com1"} << Action::UsageError << QString();
    QTest::newRow("empty value") << Arguments{"--com1", ""} << Action::UsageError << QString();
    QTest::newRow("empty after =") << Arguments{"--com1="} << Action::UsageError << QString();
    QTest::newRow("next option taken for a device")
        << Arguments{"--com1", "--com2", "/dev/ttyS3"} << Action::UsageError << QString();
    QTest::newRow("twice") << Arguments{"--com1", "a", "--com1", "b"} << Action::UsageError
                           << QString();
    QTest::newRow("Qt option without its value")
        << Arguments{"-platform"} << Action::UsageError << QString();
    QTest::newRow("Qt option that takes no =")
        << Arguments{"-platform=offscreen"} << Action::UsageError << QString();
    QTest::newRow("not UTF-8") << Arguments{"--com1", "/dev/tty\xff"} << Action::UsageError
                               << QString();
}

void TestOptions::parse()
{
    QFETCH(Arguments, arguments);
    QFETCH(Action, action);
    QFETCH(QString, com1);

    const ParsedOptions parsed = tinkora().parse(arguments);
    QCOMPARE(parsed.action, action);
    QCOMPARE(parsed.value(u"com1"_qs), com1);
    QCOMPARE(parsed.error.isEmpty(), action != Action::UsageError);
}

void TestOptions::usageErrorsNameWhatWasTyped_data()
{
    QTest::addColumn<Arguments>("arguments");
    QTest::addColumn<QString>("says");

    QTest::newRow("unknown") << Arguments{"--bogus"} << u"option inconnue : « --bogus »"_qs;
    QTest::newRow("stray") << Arguments{"--", "--help"} << u"argument inattendu : « --help »"_qs;
    QTest::newRow("missing") << Arguments{"--com1", "--com2", "x"}
                             << u"il manque le périphérique de l'option --com1"_qs;
    QTest::newRow("empty") << Arguments{"--com2="}
                           << u"le périphérique de l'option --com2 est vide"_qs;
    // Escaped as the shell would take it back, never shown as "�" nor cut by a newline.
    QTest::newRow("not UTF-8") << Arguments{"--com1", "/dev/tty\xff\xfe"}
                               << u"« /dev/tty\\xff\\xfe »"_qs;
    QTest::newRow("control characters")
        << Arguments{"--bogus\n\x1b[2J"} << u"« --bogus\\x0a\\x1b[2J »"_qs;
    QTest::newRow("bidi control") << Arguments{"--a\u202eb"} << u"« --a\\xe2\\x80\\xaeb »"_qs;
    QTest::newRow("UTF-8 kept") << Arguments{"--périph"} << u"« --périph »"_qs;
}

void TestOptions::usageErrorsNameWhatWasTyped()
{
    QFETCH(Arguments, arguments);
    QFETCH(QString, says);

    const QString error = tinkora().parse(arguments).error;
    QVERIFY2(error.startsWith(u"tinkora : "_qs), qPrintable(error));
    QVERIFY2(error.contains(says), qPrintable(error));
    QVERIFY2(error.endsWith(u"Essayez « tinkora --help » pour en savoir plus.\n"_qs),
             qPrintable(error));
    QCOMPARE(error.count(u'\n'), 2);
}

void TestOptions::aFlagIsOneTableEntry()
{
    // --list is a flag of the table, with nothing of its own in the parser.
    QVERIFY(tinkora().parse({"--list"}).isSet(u"list"_qs));
    QCOMPARE(tinkora().parse({"--list", "--com1", "x"}).value(u"com1"_qs), u"x"_qs);
    QCOMPARE(tinkora().parse({"--list=yes"}).action, Action::UsageError);
    QCOMPARE(tinkora().parse({"--list", "--list"}).action, Action::UsageError);
    QVERIFY(tinkora().helpText().contains(u"--list"_qs));
}

void TestOptions::helpWrapsEachParagraph()
{
    const QString words = QStringList(30, u"mot"_qs).join(u' ');
    const Options options(u"outil"_qs, u"Court.\n\n"_qs + words, {});
    const QStringList lines = options.helpText().split(u'\n');
    QCOMPARE(lines.at(1), u"Court."_qs);
    QCOMPARE(lines.at(2), QString());
    // A new paragraph starts a full line, not one as short as the paragraph before.
    QVERIFY2(lines.at(3).size() > 70, qPrintable(lines.at(3)));
    for (const QString &line : lines)
        QVERIFY2(line.size() <= 79, qPrintable(line));
}

// The real program, run with no display at all.
void TestOptions::program_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("stderrStartsWith");
    QTest::addColumn<QString>("display");

    QTest::newRow("no display") << QStringList{} << 1
                                << u"aucun affichage : lancez Tinkora depuis une session "
                                   "graphique\n"_qs
                                << QString();
    QTest::newRow("usage error") << QStringList{u"--bogus"_qs} << 2
                                 << u"tinkora : option inconnue"_qs << QString();
    QTest::newRow("missing value")
        << QStringList{u"--com1"_qs} << 2 << u"tinkora : il manque"_qs << QString();
    QTest::newRow("help after --") << QStringList{u"--"_qs, u"--help"_qs} << 2
                                   << u"tinkora : argument inattendu"_qs << QString();
    QTest::newRow("help") << QStringList{u"--help"_qs} << 0 << QString() << QString();
    // With a display named, "no display" would be the wrong advice: Qt's own words are shown.
    QTest::newRow("unknown platform")
        << QStringList{u"-platform"_qs, u"tinkora-none"_qs} << 1
        << u"tinkora : la fenêtre n'a pas pu s'ouvrir ; messages de Qt :\n"_qs << u":12345"_qs;
}

void TestOptions::program()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, stderrStartsWith);
    QFETCH(QString, display);

    QProcess tinkora;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const QString &name :
         {u"DISPLAY"_qs, u"WAYLAND_DISPLAY"_qs, u"QT_QPA_PLATFORM"_qs, u"XDG_SESSION_TYPE"_qs})
        environment.remove(name);
    if (!display.isEmpty())
        environment.insert(u"DISPLAY"_qs, display);
    tinkora.setProcessEnvironment(environment);
    tinkora.start(QStringLiteral(TINKORA), arguments);
    QVERIFY(tinkora.waitForFinished(30000));
    const QString errors = QString::fromUtf8(tinkora.readAllStandardError());
    QCOMPARE(tinkora.exitStatus(), QProcess::NormalExit); // no abort, no core dump
    QCOMPARE(tinkora.exitCode(), exitCode);
    if (display.isEmpty() && exitCode == 1)
        QCOMPARE(errors, stderrStartsWith); // that one line, nothing of Qt's
    else
        QVERIFY2(errors.startsWith(stderrStartsWith), qPrintable(errors));

    if (exitCode == 0) {
        const QString help = QString::fromUtf8(tinkora.readAllStandardOutput());
        QVERIFY(help.startsWith(u"Utilisation : tinkora [options]\n"_qs));
        // Qt's own help lines were English ("Displays help on commandline options.").
        static const QRegularExpression english(
            u"\\b(Usage|Displays|help on|version information|DEVICE)\\b"_qs);
        QVERIFY2(!english.match(help).hasMatch(), qPrintable(help));
    }
}

QTEST_GUILESS_MAIN(TestOptions)
#include "tst_options.moc"
