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
    void positionals_data();
    void positionals();
    void wholeNumbers_data();
    void wholeNumbers();
    void intervals_data();
    void intervals();
    void choicesAndDefaults();
    void helpNamesTheArguments();
    void qtOptionsOnlyWhereAsked();
    void program_data();
    void program();
    void sendUsageErrors_data();
    void sendUsageErrors();
};

static const Options &tinkora()
{
    static const Options options = tinkoraCommandLine();
    return options;
}

// A program shaped like tinkora-send: one file, options with ranges, choices and defaults.
static const Options &fileTool()
{
    static const Options options(
        u"outil"_qs, u"Essai."_qs,
        {OptionSpec::number(u"from"_qs, u"N"_qs, {1, 31}, u"Premier emplacement."_qs, 1),
         OptionSpec::number(u"shift"_qs, u"N"_qs, {-12, 12}, u"Décalage."_qs),
         OptionSpec::choice(u"tone"_qs, {u"square"_qs, u"sine"_qs}, u"Timbre."_qs, u"square"_qs),
         OptionSpec::text(u"port"_qs, u"PORT"_qs, u"Port."_qs, u"COM1"_qs),
         OptionSpec::interval(u"notes"_qs, u"A-B"_qs, {1, 99}, u"Extrait."_qs)},
        {{u"FICHIER"_qs, u"La mélodie."_qs}});
    return options;
}

// The one shape of every usage error: program, what is wrong, where to look.
static void checkUsageError(const QString &error, const QString &program, const QString &says)
{
    QVERIFY2(error.startsWith(program + u" : "_qs), qPrintable(error));
    QVERIFY2(error.contains(says), qPrintable(error));
    QVERIFY2(error.endsWith(u"Essayez « "_qs + program + u" --help » pour en savoir plus.\n"_qs),
             qPrintable(error));
    QCOMPARE(error.count(u'\n'), 2);
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

    checkUsageError(tinkora().parse(arguments).error, u"tinkora"_qs, says);
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

void TestOptions::positionals_data()
{
    QTest::addColumn<Arguments>("arguments");
    QTest::addColumn<QString>("file"); // empty: refused
    QTest::addColumn<QString>("says");

    QTest::newRow("one") << Arguments{"m.csv"} << u"m.csv"_qs << QString();
    QTest::newRow("among options")
        << Arguments{"--from", "3", "m.csv", "--port=x"} << u"m.csv"_qs << QString();
    QTest::newRow("after --") << Arguments{"--", "--from"} << u"--from"_qs << QString();
    QTest::newRow("a file named -") << Arguments{"-"} << u"-"_qs << QString();

    QTest::newRow("missing") << Arguments{} << QString() << u"il manque l'argument FICHIER"_qs;
    QTest::newRow("missing, options given")
        << Arguments{"--from", "2"} << QString() << u"il manque l'argument FICHIER"_qs;
    QTest::newRow("two given") << Arguments{"a.csv", "b.csv"} << QString()
                               << u"argument inattendu : « b.csv »"_qs;
    QTest::newRow("empty") << Arguments{""} << QString() << u"l'argument FICHIER est vide"_qs;
    // Qt would turn the byte into U+FFFD and open another file.
    QTest::newRow("not UTF-8") << Arguments{"m\xff.csv"} << QString()
                               << u"n'est pas un nom UTF-8 valide : « m\\xff.csv »"_qs;
}

void TestOptions::positionals()
{
    QFETCH(Arguments, arguments);
    QFETCH(QString, file);
    QFETCH(QString, says);

    const ParsedOptions parsed = fileTool().parse(arguments);
    if (file.isEmpty()) {
        QCOMPARE(parsed.action, Action::UsageError);
        checkUsageError(parsed.error, u"outil"_qs, says);
    } else {
        QCOMPARE(parsed.action, Action::Run);
        QCOMPARE(parsed.positionals, QStringList{file});
    }
}

void TestOptions::wholeNumbers_data()
{
    QTest::addColumn<Arguments>("arguments"); // after the file
    QTest::addColumn<QString>("option");
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("says"); // empty: accepted

    const QString from = u"l'option --from attend un nombre entier de 1 à 31, pas "_qs;
    QTest::newRow("not given") << Arguments{} << u"from"_qs << 1 << QString();
    QTest::newRow("lowest") << Arguments{"--from", "1"} << u"from"_qs << 1 << QString();
    QTest::newRow("highest after =") << Arguments{"--from=31"} << u"from"_qs << 31 << QString();
    QTest::newRow("leading zeros") << Arguments{"--from", "007"} << u"from"_qs << 7 << QString();
    QTest::newRow("below zero after a space")
        << Arguments{"--shift", "-12"} << u"shift"_qs << -12 << QString();

    QTest::newRow("below") << Arguments{"--from", "0"} << u"from"_qs << 0 << from + u"« 0 »"_qs;
    QTest::newRow("above") << Arguments{"--from=32"} << u"from"_qs << 0 << from + u"« 32 »"_qs;
    QTest::newRow("below zero, out of range")
        << Arguments{"--shift", "-13"} << u"shift"_qs << 0
        << u"l'option --shift attend un nombre entier de -12 à 12, pas « -13 »"_qs;
    QTest::newRow("below zero where none is allowed")
        << Arguments{"--from", "-1"} << u"from"_qs << 0 << from + u"« -1 »"_qs;
    QTest::newRow("+N") << Arguments{"--from", "+5"} << u"from"_qs << 0 << from + u"« +5 »"_qs;
    QTest::newRow("trailing letter")
        << Arguments{"--from", "5x"} << u"from"_qs << 0 << from + u"« 5x »"_qs;
    QTest::newRow("space") << Arguments{"--from", " 5"} << u"from"_qs << 0 << from + u"«  5 »"_qs;
    QTest::newRow("not ASCII digits")
        << Arguments{"--from", "\xd9\xa3"} << u"from"_qs << 0 << from + u"« \u0663 »"_qs;
    QTest::newRow("empty") << Arguments{"--from="} << u"from"_qs << 0
                           << from + u"une valeur vide"_qs;
    // 2^32 + 1 would be 1 if cut to 32 bits; past 64 bits, no conversion holds it.
    QTest::newRow("wraps to 1 in 32 bits")
        << Arguments{"--from", "4294967297"} << u"from"_qs << 0 << from + u"« 4294967297 »"_qs;
    QTest::newRow("huge") << Arguments{"--from", "99999999999999999999999"} << u"from"_qs << 0
                          << from + u"« 99999999999999999999999 »"_qs;
    QTest::newRow("missing") << Arguments{"--from"} << u"from"_qs << 0
                             << u"il manque la valeur de l'option --from : un nombre entier de 1 "
                                "à 31"_qs;
    QTest::newRow("next option taken for a number")
        << Arguments{"--from", "--port", "x"} << u"from"_qs << 0
        << u"il manque la valeur de l'option --from"_qs;
}

void TestOptions::intervals_data()
{
    QTest::addColumn<Arguments>("arguments"); // after the file
    QTest::addColumn<QString>("ends");        // "A-B" as read, or the error's start

    const QString expected = u"l'option --notes attend deux nombres entiers de 1 à 99 joints par "
                             u"« - », le premier au plus égal au second (comme 1-31), pas "_qs;
    QTest::newRow("after a space") << Arguments{"--notes", "3-17"} << u"3-17"_qs;
    QTest::newRow("after =, one note") << Arguments{"--notes=5-5"} << u"5-5"_qs;
    QTest::newRow("both ends of the range") << Arguments{"--notes", "1-99"} << u"1-99"_qs;
    QTest::newRow("backwards") << Arguments{"--notes", "9-3"} << expected + u"« 9-3 »"_qs;
    QTest::newRow("from 0") << Arguments{"--notes", "0-3"} << expected + u"« 0-3 »"_qs;
    QTest::newRow("past the range") << Arguments{"--notes", "1-100"} << expected + u"« 1-100 »"_qs;
    QTest::newRow("one number") << Arguments{"--notes", "7"} << expected + u"« 7 »"_qs;
    QTest::newRow("open end") << Arguments{"--notes", "7-"} << expected + u"« 7- »"_qs;
    QTest::newRow("a minus sign") << Arguments{"--notes=1--3"} << expected + u"« 1--3 »"_qs;
    QTest::newRow("a number below zero") << Arguments{"--notes", "-3"} << expected + u"« -3 »"_qs;
}

void TestOptions::intervals()
{
    QFETCH(Arguments, arguments);
    QFETCH(QString, ends);

    const ParsedOptions parsed = fileTool().parse(Arguments{"m.csv"} + arguments);
    if (parsed.action == Action::UsageError) {
        checkUsageError(parsed.error, u"outil"_qs, ends);
        return;
    }
    QCOMPARE(parsed.action, Action::Run);
    const std::optional<std::pair<int, int>> read = parsed.interval(u"notes"_qs);
    QVERIFY(read);
    QCOMPARE(u"%1-%2"_qs.arg(read->first).arg(read->second), ends);
}

void TestOptions::wholeNumbers()
{
    QFETCH(Arguments, arguments);
    QFETCH(QString, option);
    QFETCH(int, number);
    QFETCH(QString, says);

    const ParsedOptions parsed = fileTool().parse(Arguments{"m.csv"} + arguments);
    if (says.isEmpty()) {
        QCOMPARE(parsed.action, Action::Run);
        QCOMPARE(parsed.number(option), number);
    } else {
        QCOMPARE(parsed.action, Action::UsageError);
        checkUsageError(parsed.error, u"outil"_qs, says);
    }
}

void TestOptions::choicesAndDefaults()
{
    const ParsedOptions given = fileTool().parse({"m", "--tone", "sine", "--port=/dev/ttyS1"});
    QCOMPARE(given.value(u"tone"_qs), u"sine"_qs);
    QCOMPARE(given.value(u"port"_qs), u"/dev/ttyS1"_qs);
    const ParsedOptions left = fileTool().parse({"m"});
    QCOMPARE(left.value(u"tone"_qs), u"square"_qs);
    QCOMPARE(left.value(u"port"_qs), u"COM1"_qs);
    QVERIFY(!left.isSet(u"port"_qs)); // a default is not the option given
    QVERIFY(!left.isSet(u"shift"_qs));
    checkUsageError(fileTool().parse({"m", "--tone=Sine"}).error, u"outil"_qs,
                    u"l'option --tone attend square ou sine, pas « Sine »"_qs);
    checkUsageError(fileTool().parse({"m", "--tone"}).error, u"outil"_qs,
                    u"il manque la valeur de l'option --tone : square ou sine"_qs);
    // Given twice is refused even when the first one matched the default.
    QCOMPARE(fileTool().parse({"m", "--port", "COM1", "--port", "COM2"}).action,
             Action::UsageError);
}

void TestOptions::helpNamesTheArguments()
{
    const QString help = fileTool().helpText();
    QVERIFY2(help.startsWith(u"Utilisation : outil [options] FICHIER\n"_qs), qPrintable(help));
    QVERIFY2(help.contains(u"\n  --tone square|sine  Timbre.\n"_qs), qPrintable(help));
    QVERIFY2(help.endsWith(u"\nArguments :\n  FICHIER             La mélodie.\n"_qs),
             qPrintable(help));
    QVERIFY(!help.contains(u"--help-all"_qs));
    QVERIFY(!tinkora().helpText().contains(u"Arguments :"_qs));
}

void TestOptions::qtOptionsOnlyWhereAsked()
{
    // Without a QApplication nothing would take them out of argv, nor act on them.
    checkUsageError(fileTool().parse({"m", "-platform", "offscreen"}).error, u"outil"_qs,
                    u"option inconnue : « -platform »"_qs);
    checkUsageError(fileTool().parse({"m", "--style=Fusion"}).error, u"outil"_qs,
                    u"option inconnue : « --style=Fusion »"_qs);
    checkUsageError(fileTool().parse({"--help-all"}).error, u"outil"_qs,
                    u"option inconnue : « --help-all »"_qs);
    QCOMPARE(tinkora().parse({"-platform", "offscreen"}).action, Action::Run);
    QCOMPARE(tinkora().parse({"--help-all"}).action, Action::HelpAll);
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

// tinkora-send's own table, through the real program: its errors are tinkora's.
void TestOptions::sendUsageErrors_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("says");

    QTest::newRow("unknown") << QStringList{u"m.csv"_qs, u"--vite"_qs}
                             << u"option inconnue : « --vite »"_qs;
    QTest::newRow("Qt's option") << QStringList{u"-platform"_qs, u"offscreen"_qs, u"m.csv"_qs}
                                 << u"option inconnue : « -platform »"_qs;
    QTest::newRow("no file") << QStringList{u"--dry-run"_qs} << u"il manque l'argument FICHIER"_qs;
    QTest::newRow("two files") << QStringList{u"a.csv"_qs, u"b.csv"_qs}
                               << u"argument inattendu : « b.csv »"_qs;
    QTest::newRow("--from above the slots")
        << QStringList{u"m.csv"_qs, u"--from"_qs, u"32"_qs}
        << u"l'option --from attend un nombre entier de 1 à 31, pas « 32 »"_qs;
    QTest::newRow("--gap=+5") << QStringList{u"m.csv"_qs, u"--gap=+5"_qs}
                              << u"l'option --gap attend un nombre entier de 0 à 60000, pas "
                                 "« +5 »"_qs;
    QTest::newRow("--wait missing")
        << QStringList{u"m.csv"_qs, u"--wait"_qs} << u"il manque la valeur de l'option --wait"_qs;
    QTest::newRow("--wav empty") << QStringList{u"m.csv"_qs, u"--wav="_qs}
                                 << u"le fichier de l'option --wav est vide"_qs;
    QTest::newRow("--play with --port")
        << QStringList{u"m.csv"_qs, u"--play"_qs, u"--port"_qs, u"COM2"_qs}
        << u"--play n'ouvre aucun port : écoutez d'abord avec --play, puis envoyez avec --port"_qs;
    QTest::newRow("--tone of no such tone")
        << QStringList{u"m.csv"_qs, u"--play"_qs, u"--tone"_qs, u"triangle"_qs}
        << u"l'option --tone attend square ou sine, pas « triangle »"_qs;
}

void TestOptions::sendUsageErrors()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, says);

    QProcess send;
    send.start(QStringLiteral(TINKORA_SEND), arguments);
    QVERIFY(send.waitForFinished(30000));
    QCOMPARE(send.exitStatus(), QProcess::NormalExit);
    QCOMPARE(send.exitCode(), 2);
    QCOMPARE(send.readAllStandardOutput(), QByteArray());
    checkUsageError(QString::fromUtf8(send.readAllStandardError()), u"tinkora-send"_qs, says);
}

QTEST_GUILESS_MAIN(TestOptions)
#include "tst_options.moc"
