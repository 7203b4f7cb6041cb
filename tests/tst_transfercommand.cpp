// SPDX-License-Identifier: GPL-3.0-or-later
#include "bytes.h"
#include "recordinglink.h"
#include "recordingview.h"
#include "transfercommand.h"

#include <QTest>

#include <cerrno>
#include <cstring>

class TestTransferCommand : public QObject {
    Q_OBJECT
private slots:
    void init();
    void firstAndSecondFrames();
    void placeholderWarnings_data();
    void placeholderWarnings();
    void typedChoices_data();
    void typedChoices();
    void lastSlotIsRewritten();
    void nothingIsSentWithoutAPort();
    void nothingIsSentToAnUnpluggedDevice();
    void failedWriteIsReported();
    void lostFramesStepTheCounterBack_data();
    void lostFramesStepTheCounterBack();
    void portLeftForTheOtherKeepsTheCounter();

private:
    void transfer() { TransferCommand(m_view, m_link, m_state).Run(); }
    QByteArray written() { return std::exchange(m_link.wire, QByteArray()); }
    void verifyNothingHappened();

    RecordingLink m_link;
    RecordingView m_view;
    TransferState m_state;
};

void TestTransferCommand::init()
{
    m_link.reset();
    QVERIFY(m_link.Open(1).ok());
    m_view = RecordingView{};
    m_state = TransferState{};
}

void TestTransferCommand::verifyNothingHappened()
{
    QCOMPARE(m_link.wire, QByteArray());
    QCOMPARE(m_state.NoteNumber, 1);
    QCOMPARE(m_state.NoteCode, 0);
    QCOMPARE(m_state.DurationCode, 0);
    QCOMPARE(m_view.text1, u"Note N°"_qs);
    QCOMPARE(m_view.text2, u"@EEPROM"_qs);
}

void TestTransferCommand::firstAndSecondFrames()
{
    m_view.choose(u"120"_qs, u"La3"_qs, u"Noire"_qs);

    transfer();
    QCOMPARE(written(), bytes({0, 22, 50}));
    QCOMPARE(m_view.text1, u"Note N° 1"_qs);
    QCOMPARE(m_view.text2, u"@EEPROM: 0"_qs);
    QCOMPARE(m_state.NoteNumber, 2);

    transfer();
    QCOMPARE(written(), bytes({2, 22, 50}));
    QCOMPARE(m_view.text1, u"Note N° 2"_qs);
    QCOMPARE(m_view.text2, u"@EEPROM: 2"_qs);
    QCOMPARE(m_state.NoteNumber, 3);
    QCOMPARE(m_state.DeviceAddress, 2);
    QCOMPARE(m_view.warnings, QStringList());
}

void TestTransferCommand::placeholderWarnings_data()
{
    QTest::addColumn<QString>("tempo");
    QTest::addColumn<QString>("note");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QStringList>("warnings");

    const QString tempo = u"Veillez indiquer un Tempo"_qs;
    const QString note = u"Veillez indiquer une valeur de note"_qs;
    const QString value = u"Veillez indiquer une durée de note"_qs;

    QTest::newRow("all three") << u"Tempo"_qs << u"Notes"_qs << u"Durée"_qs
                               << QStringList{tempo, note, value};
    QTest::newRow("tempo only") << u"Tempo"_qs << u"La3"_qs << u"Noire"_qs << QStringList{tempo};
    QTest::newRow("note and value")
        << u"120"_qs << u"Notes"_qs << u"Durée"_qs << QStringList{note, value};
    // The checks come first: a bad tempo is not reported while a choice is missing.
    QTest::newRow("value and bad tempo")
        << u"abc"_qs << u"La3"_qs << u"Durée"_qs << QStringList{value};
}

void TestTransferCommand::placeholderWarnings()
{
    QFETCH(QString, tempo);
    QFETCH(QString, note);
    QFETCH(QString, value);
    QFETCH(QStringList, warnings);

    m_view.choose(tempo, note, value);
    transfer();
    QCOMPARE(m_view.warnings, warnings);
    verifyNothingHappened();
}

void TestTransferCommand::typedChoices_data()
{
    QTest::addColumn<QString>("tempo");
    QTest::addColumn<QString>("note");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<QStringList>("warnings");

    auto badTempo = [](const QString &quoted) {
        return u"Tempo invalide : « \u2068%1\u2069 ». Indiquez un nombre entier supérieur à 0."_qs
            .arg(quoted);
    };
    auto badNote = [](const QString &quoted) {
        return u"Note inconnue : « \u2068%1\u2069 ». Choisissez une note dans la liste."_qs.arg(
            quoted);
    };
    auto badValue = [](const QString &quoted) {
        return u"Valeur de note inconnue : « \u2068%1\u2069 ». Choisissez une valeur dans la liste."_qs
            .arg(quoted);
    };
    // A near miss gets the list's name as a hint, and still nothing is sent.
    auto nearNote = [](const QString &quoted, const QString &meant) {
        return u"Note inconnue : « \u2068%1\u2069 ». Vouliez-vous dire « \u2068%2\u2069 » ?"_qs.arg(
            quoted, meant);
    };
    auto nearValue = [](const QString &quoted, const QString &meant) {
        return u"Valeur de note inconnue : « \u2068%1\u2069 ». Vouliez-vous dire « \u2068%2\u2069 » ?"_qs
            .arg(quoted, meant);
    };

    QTest::newRow("typed 100") << u"100"_qs << u"La3"_qs << u"Noire"_qs << bytes({0, 22, 60})
                               << QStringList();
    QTest::newRow("spaces around")
        << u" 100 "_qs << u"Si4"_qs << u"Noire"_qs << bytes({0, 36, 60}) << QStringList();
    QTest::newRow("ronde at 60") << u"60"_qs << u"Do2"_qs << u"Ronde=4 Noires"_qs
                                 << bytes({0, 1, 255}) << QStringList();
    QTest::newRow("abc") << u"abc"_qs << u"La3"_qs << u"Noire"_qs << QByteArray()
                         << QStringList{badTempo(u"abc"_qs)};
    QTest::newRow("zero") << u"0"_qs << u"La3"_qs << u"Noire"_qs << QByteArray()
                          << QStringList{badTempo(u"0"_qs)};
    QTest::newRow("negative") << u"-60"_qs << u"La3"_qs << u"Noire"_qs << QByteArray()
                              << QStringList{badTempo(u"-60"_qs)};
    auto tooLarge = [](const QString &quoted) {
        return u"Tempo trop grand : « \u2068%1\u2069 ». Indiquez un nombre entier de 1 à "
               "2147483647, comme ceux de la liste (60 à 180)."_qs.arg(quoted);
    };
    QTest::newRow("beyond 32 bits") << u"99999999999"_qs << u"La3"_qs << u"Noire"_qs << QByteArray()
                                    << QStringList{tooLarge(u"99999999999"_qs)};
    QTest::newRow("just beyond 32 bits")
        << u" +2147483648"_qs << u"La3"_qs << u"Noire"_qs << QByteArray()
        << QStringList{tooLarge(u" +2147483648"_qs)};
    QTest::newRow("70 with ronde")
        << u"70"_qs << u"La3"_qs << u"Ronde=4 Noires"_qs << QByteArray()
        << QStringList{u"Durée impossible à envoyer : « \u2068Ronde=4 Noires\u2069 » au tempo 70 "
                       u"donne 342, "
                       "plus que 255. Choisissez un tempo plus rapide ou une note plus courte."_qs};
    // Bytes the board would misread: nothing is sent rather than a note of the wrong length.
    QTest::newRow("2000 gives 0")
        << u"2000"_qs << u"La3"_qs << u"Double Croche=1/4 Noire"_qs << QByteArray()
        << QStringList{u"Durée impossible à envoyer : « \u2068Double Croche=1/4 Noire\u2069 » au "
                       u"tempo 2000 "
                       "donne 0, une note sans durée. Choisissez un tempo plus lent ou une note "
                       "plus longue."_qs};
    QTest::newRow("94 gives a natural 255")
        << u"94"_qs << u"La3"_qs << u"Ronde=4 Noires"_qs << QByteArray()
        << QStringList{u"Durée impossible à envoyer : « \u2068Ronde=4 Noires\u2069 » au tempo 94 "
                       u"donne 255, "
                       "que la carte lirait comme 400. Choisissez un autre tempo ou une autre "
                       "note."_qs};
    QTest::newRow("typed 90 folds as listed")
        << u"90"_qs << u"Do2"_qs << u"Ronde=4 Noires"_qs << bytes({0, 1, 253}) << QStringList();
    QTest::newRow("note in lower case") << u"120"_qs << u"la3"_qs << u"Noire"_qs << QByteArray()
                                        << QStringList{nearNote(u"la3"_qs, u"La3"_qs)};
    QTest::newRow("value with a space") << u"120"_qs << u"La3"_qs << u"Noire "_qs << QByteArray()
                                        << QStringList{nearValue(u"Noire "_qs, u"Noire"_qs)};
    QTest::newRow("all three wrong") << u"12O"_qs << u"Do 2"_qs << u"noire"_qs << QByteArray()
                                     << QStringList{badTempo(u"12O"_qs), badNote(u"Do 2"_qs),
                                                    nearValue(u"noire"_qs, u"Noire"_qs)};
    QTest::newRow("empty texts pass the checks")
        << QString() << QString() << QString() << QByteArray()
        << QStringList{badTempo(QString()), badNote(QString()), badValue(QString())};
    QTest::newRow("format characters quoted as typed")
        << u"%1"_qs << u"%1 %2"_qs << u"Noire"_qs << QByteArray()
        << QStringList{badTempo(u"%1"_qs), badNote(u"%1 %2"_qs)};
    // What the user cannot see is named, and right-to-left text stays inside its quotes.
    QTest::newRow("invisible characters shown")
        << u"120"_qs << u"La3\u200b"_qs << u"Noire\u00a0"_qs << QByteArray()
        << QStringList{nearNote(u"La3[U+200B]"_qs, u"La3"_qs),
                       nearValue(u"Noire[U+00A0]"_qs, u"Noire"_qs)};
    QTest::newRow("bidi controls shown")
        << u"\u202e021"_qs << u"\u200fLa3"_qs << u"Noire"_qs << QByteArray()
        << QStringList{badTempo(u"[U+202E]021"_qs), nearNote(u"[U+200F]La3"_qs, u"La3"_qs)};
    QTest::newRow("right-to-left letters isolated")
        << u"120"_qs << u"لا٣"_qs << u"Noire"_qs << QByteArray() << QStringList{badNote(u"لا٣"_qs)};
    QTest::newRow("long text cut short")
        << u"120"_qs << QString(500, u'x') << u"Noire"_qs << QByteArray()
        << QStringList{badNote(QString(40, u'x') + u'…')};
}

void TestTransferCommand::typedChoices()
{
    QFETCH(QString, tempo);
    QFETCH(QString, note);
    QFETCH(QString, value);
    QFETCH(QByteArray, frame);
    QFETCH(QStringList, warnings);

    m_view.choose(tempo, note, value);
    transfer();
    QCOMPARE(m_view.warnings, warnings);
    if (frame.isEmpty()) {
        verifyNothingHappened();
        return;
    }
    QCOMPARE(written(), frame);
    QCOMPARE(m_state.NoteNumber, 2);
}

void TestTransferCommand::lastSlotIsRewritten()
{
    const QString limit = u"Le nombre maximum de notes (31) est atteint"_qs;
    m_view.choose(u"180"_qs, u"Do4"_qs, u"Double Croche=1/4 Noire"_qs);

    QByteArray expected;
    for (int slot = 1; slot <= 30; ++slot) {
        transfer();
        expected += bytes({2 * (slot - 1), 25, 8});
    }
    QCOMPARE(m_view.warnings, QStringList());
    QCOMPARE(written(), expected);

    transfer();
    QCOMPARE(written(), bytes({60, 25, 8}));
    QCOMPARE(m_view.text1, u"Note N° 31"_qs);
    QCOMPARE(m_view.text2, u"@EEPROM: 60"_qs);
    QCOMPARE(m_view.warnings, QStringList{limit});
    QCOMPARE(m_state.NoteNumber, 31);

    transfer();
    QCOMPARE(written(), bytes({60, 25, 8}));
    QCOMPARE(m_view.text1, u"Note N° 31"_qs);
    QCOMPARE(m_view.warnings, QStringList({limit, limit}));
    QCOMPARE(m_state.NoteNumber, 31);
}

void TestTransferCommand::nothingIsSentWithoutAPort()
{
    RecordingLink closed;
    m_view.choose(u"120"_qs, u"La3"_qs, u"Noire"_qs);
    TransferCommand(m_view, closed, m_state).Run();
    QCOMPARE(m_view.warnings, QStringList{u"Aucun port n'est ouvert : la note n'a pas été envoyée. "
                                          "Choisissez COM1 ou COM2, puis recommencez."_qs});
    verifyNothingHappened();
}

void TestTransferCommand::nothingIsSentToAnUnpluggedDevice()
{
    const QString device = m_link.device;
    m_view.choose(u"120"_qs, u"La3"_qs, u"Noire"_qs);
    m_link.nextFailure = WriteFailure::DeviceGone;

    // Straight after the unplug, before the port has had a chance to notice.
    transfer();
    QCOMPARE(m_view.warnings,
             QStringList{u"La note n'a pas été envoyée sur COM1 (%1) : le périphérique a disparu "
                         "(adaptateur débranché ?). Vérifiez le branchement, puis choisissez à "
                         "nouveau le port."_qs.arg(device)});
    QCOMPARE(m_state.NoteNumber, 1);
    QCOMPARE(m_view.text1, u"Note N°"_qs);
    QCOMPARE(m_link.openPort(), 0);

    // Later transfers say that no port is open until one is picked again.
    m_view.warnings.clear();
    transfer();
    QCOMPARE(m_view.warnings.size(), 1);
    QVERIFY(m_view.warnings.first().startsWith(u"Aucun port n'est ouvert"_qs));
    QCOMPARE(m_state.NoteNumber, 1);
}

void TestTransferCommand::failedWriteIsReported()
{
    m_view.choose(u"120"_qs, u"La3"_qs, u"Noire"_qs);
    m_link.nextFailure = WriteFailure::System;
    m_link.failureError = SystemError::InputOutput;
    m_link.failureDetail = u"Input/output error"_qs; // what Qt passes on
    transfer();
    QCOMPARE(m_view.warnings,
             QStringList{u"La note n'a pas été envoyée sur COM1 (/dev/ttyUSB0) : erreur "
                         "d'entrée-sortie. Vérifiez le branchement, puis choisissez à nouveau le "
                         "port."_qs});
    verifyNothingHappened();

    // The port stays open: the same choice goes to the same slot once the line takes it again.
    m_view.warnings.clear();
    transfer();
    QCOMPARE(written(), bytes({0, 22, 50}));
    QCOMPARE(m_state.NoteNumber, 2);
}

void TestTransferCommand::lostFramesStepTheCounterBack_data()
{
    QTest::addColumn<int>("transfers");
    QTest::addColumn<QList<int>>("losses"); // pairs: first and last lost write, by number
    QTest::addColumn<int>("noteNumber");
    QTest::addColumn<QString>("text1");
    QTest::addColumn<QString>("lostNotes"); // of the last loss

    QTest::newRow("one note lost")
        << 3 << QList<int>{3, 3} << 3 << u"Note N° 2"_qs
        << u"La note 3 n'a pas été envoyée : la prochaine note ira à l'emplacement 3 "
           "(@EEPROM: 4)."_qs;
    QTest::newRow("repeats of the last slot")
        << 33 << QList<int>{31, 33} << 31 << u"Note N° 30"_qs
        << u"La note 31 n'a pas été envoyée : la prochaine note ira à l'emplacement 31 "
           "(@EEPROM: 60)."_qs;
    // Frames still held by a port left for the other one may be reported after a step back.
    QTest::newRow("older loss after a step back")
        << 4 << QList<int>{3, 4, 2, 2} << 2 << u"Note N° 1"_qs
        << u"La note 2 n'a pas été envoyée : la prochaine note ira à l'emplacement 2 "
           "(@EEPROM: 2)."_qs;
    QTest::newRow("later slots than the counter")
        << 4 << QList<int>{2, 2, 4, 4} << 2 << u"Note N° 1"_qs
        << u"La note 4 n'a pas été envoyée : la prochaine note ira à l'emplacement 2 "
           "(@EEPROM: 2)."_qs;
}

void TestTransferCommand::lostFramesStepTheCounterBack()
{
    QFETCH(int, transfers);
    QFETCH(QList<int>, losses);
    QFETCH(int, noteNumber);
    QFETCH(QString, text1);
    QFETCH(QString, lostNotes);

    m_view.choose(u"180"_qs, u"Do4"_qs, u"Noire"_qs);
    for (int i = 0; i < transfers; ++i)
        transfer();
    for (qsizetype i = 0; i < losses.size(); i += 2) {
        PortLoss loss;
        loss.unsent = {quint64(losses[i]), quint64(losses[i + 1]), losses[i + 1] - losses[i] + 1};
        m_view.warnings.clear();
        TransferCommand(m_view, m_link, m_state).reportPortLost(1, u"/dev/ttyUSB0"_qs, loss);
    }
    QCOMPARE(m_state.NoteNumber, noteNumber);
    QCOMPARE(m_view.text1, text1);
    QCOMPARE(m_view.warnings.size(), 1);
    QVERIFY2(m_view.warnings.first().contains(u"\n"_qs + lostNotes + u"\n"_qs),
             qPrintable(m_view.warnings.first()));

    // The next transfer goes to the first slot not sent.
    written();
    transfer();
    QCOMPARE(quint8(written().at(0)), 2 * (noteNumber - 1));
}

// COM1 stalled with notes 2 and 3, the user switched to COM2 and sent note 4 there; then COM1
// goes: its warning says what its board lacks, and COM2's next note still goes to slot 5.
void TestTransferCommand::portLeftForTheOtherKeepsTheCounter()
{
    m_view.choose(u"180"_qs, u"Do4"_qs, u"Noire"_qs);
    for (int i = 0; i < 3; ++i)
        transfer();
    QVERIFY(m_link.Open(2).ok());
    transfer();
    written();

    PortLoss loss;
    loss.unsent = {2, 3, 2};
    TransferCommand(m_view, m_link, m_state).reportPortLost(1, u"/dev/ttyUSB0"_qs, loss);
    QCOMPARE(m_view.warnings.size(), 1);
    QVERIFY2(m_view.warnings.first().contains(
                 u"\nLa carte de COM1 n'a pas reçu les notes 2 à 3 ; COM2 reste utilisé"_qs),
             qPrintable(m_view.warnings.first()));
    QCOMPARE(m_state.NoteNumber, 5);
    QCOMPARE(m_view.text1, u"Note N° 4"_qs);
    transfer();
    QCOMPARE(quint8(written().at(0)), TransferState::addressOf(5));
}

QTEST_GUILESS_MAIN(TestTransferCommand)
#include "tst_transfercommand.moc"
