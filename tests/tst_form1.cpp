// SPDX-License-Identifier: GPL-3.0-or-later
#include "bytes.h"
#include "form1.h"
#include "givenports.h"
#include "messageboxcloser.h"
#include "qtfrench.h"
#include "recordinglink.h"
#include "windowdriver.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QRadioButton>
#include <QTest>
#include <QTextBoundaryFinder>
#include <QToolButton>

#include <memory>

using Write = RecordingLink::Write;

class TestForm1 : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void startUpState();
    void layout_data();
    void layout();
    void listsAreFilledInOrderWithNothingChosen();
    void focusAndTabOrder();
    void aClickPicksThePortOnce_data();
    void aClickPicksThePortOnce();
    void failedOpenEnablesNothing();
    void wholeMelodyByClicksAndTyping();
    void missingChoicesWarnInOrder();
    void typedTextIsTakenExactly();
    void switchingPortsMidMelody();
    void failedSwitchKeepsTheOpenPort();
    void unpluggedAdapterIsReportedOnce();
    void portPickedAgainAfterAnUnplug();
    void unplugFoundByATransfer();
    void notesLostInAnUnplugAreSentAgain_data();
    void notesLostInAnUnplugAreSentAgain();
    void busyPortThenFreed();
    void devicePathIsNotAFormat();
    void enterPressesTransfert_data();
    void enterPressesTransfert();
    void fixedSizeOffersNoMaximize();
    void rightClickMenuIsFrench();

private:
    // The link reports com1 as its device, for the messages.
    void createWindow(const QString &com1 = u"/dev/ttyUSB0"_qs,
                      const QString &com2 = u"/dev/tinkora-none"_qs);
    template<typename T> T *control(const QString &name) const
    {
        return m_driver->control<T>(name);
    }
    void type(const QString &list, const QString &text) { m_driver->type(list, text); }
    void click(const QString &button) { m_driver->click(button); }
    QString checkedPort() const { return m_driver->checkedPort(); }

    std::unique_ptr<RecordingLink> m_link; // outlives the window that writes through it
    std::unique_ptr<Form1> m_window;
    std::unique_ptr<MessageBoxCloser> m_boxes;
    std::unique_ptr<WindowDriver> m_driver;
};

void TestForm1::init()
{
    m_boxes = std::make_unique<MessageBoxCloser>();
}

void TestForm1::cleanup()
{
    m_window.reset();
    m_link.reset();
    m_boxes.reset();
}

void TestForm1::createWindow(const QString &com1, const QString &com2)
{
    PortMap ports = givenPortsOnly();
    ports.setDevicePath(1, com1);
    ports.setDevicePath(2, com2);
    m_link = std::make_unique<RecordingLink>();
    m_link->device = com1;
    m_window = std::make_unique<Form1>(*m_link, ports);
    m_driver = std::make_unique<WindowDriver>(m_window.get());
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void TestForm1::startUpState()
{
    createWindow();
    QCOMPARE(m_window->windowTitle(), u"Générateur De mélodies"_qs);
    QCOMPARE(control<QLineEdit>(u"Text1"_qs)->text(), u"Note N°"_qs);
    QCOMPARE(control<QLineEdit>(u"Text2"_qs)->text(), u"@EEPROM"_qs);
    QCOMPARE(control<QToolButton>(u"Command2"_qs)->text(), u"Transfert"_qs);
    QCOMPARE(control<QToolButton>(u"Command2"_qs)->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
    QCOMPARE(control<QToolButton>(u"Command2"_qs)->iconSize(), QSize(32, 32));
    // One picture, painted once, for the window and the button.
    QVERIFY(!m_window->windowIcon().isNull());
    QCOMPARE(control<QToolButton>(u"Command2"_qs)->icon().cacheKey(),
             m_window->windowIcon().cacheKey());
    QCOMPARE(checkedPort(), QString());
    QCOMPARE(control<QRadioButton>(u"Option1"_qs)->toolTip(), u"COM1 : /dev/ttyUSB0"_qs);
    QCOMPARE(control<QRadioButton>(u"Option2"_qs)->toolTip(), u"COM2 : /dev/tinkora-none"_qs);

    for (const QString &name : {u"Text1"_qs, u"Text2"_qs, u"Option1"_qs, u"Option2"_qs})
        QVERIFY2(control<QWidget>(name)->isEnabled(), qPrintable(name));
    for (const QString &name : {u"tempo"_qs, u"duree"_qs, u"notes"_qs, u"Command2"_qs})
        QVERIFY2(!control<QWidget>(name)->isEnabled(), qPrintable(name));

    // The choice opens the port, then enables the button and the lists.
    click(u"Option1"_qs);
    QCOMPARE(checkedPort(), u"COM1"_qs);
    QCOMPARE(m_link->openPort(), 1);
    for (const QString &name : {u"tempo"_qs, u"duree"_qs, u"notes"_qs, u"Command2"_qs})
        QVERIFY2(control<QWidget>(name)->isEnabled(), qPrintable(name));
    QCOMPARE(m_boxes->boxes.size(), 0);
    QCOMPARE(m_link->wire, QByteArray());
}

void TestForm1::layout_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry"); // the twips of the layout divided by 15

    QTest::newRow("Text1") << u"Text1"_qs << QRect(176, 176, 73, 25);
    QTest::newRow("Option1") << u"Option1"_qs << QRect(16, 8, 65, 17);
    QTest::newRow("Option2") << u"Option2"_qs << QRect(96, 0, 73, 33);
    QTest::newRow("tempo") << u"tempo"_qs << QRect(16, 80, 137, 21);
    QTest::newRow("duree") << u"duree"_qs << QRect(176, 120, 137, 21);
    QTest::newRow("notes") << u"notes"_qs << QRect(16, 120, 137, 21);
    QTest::newRow("Command2") << u"Command2"_qs << QRect(48, 168, 97, 73);
    QTest::newRow("Text2") << u"Text2"_qs << QRect(176, 208, 97, 27);
}

void TestForm1::layout()
{
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    createWindow();
    QCOMPARE(m_window->size(), QSize(357, 261));
    QCOMPARE(control<QWidget>(name)->geometry(), geometry);
}

void TestForm1::listsAreFilledInOrderWithNothingChosen()
{
    createWindow();
    auto entries = [this](const QString &name) {
        QStringList result;
        auto *list = control<QComboBox>(name);
        for (int i = 0; i < list->count(); ++i)
            result << list->itemText(i);
        return result;
    };
    QCOMPARE(entries(u"tempo"_qs),
             QStringList({u"60"_qs, u"90"_qs, u"120"_qs, u"150"_qs, u"180"_qs}));
    QCOMPARE(
        entries(u"duree"_qs),
        QStringList({u"Ronde=4 Noires"_qs, u"Blanche pointée"_qs, u"Blanche=2 Noires"_qs,
                     u"Noire pointée"_qs, u"Noire"_qs, u"Croche pointée"_qs, u"Croche=1/2 Noire"_qs,
                     u"Double Croche pointée"_qs, u"Double Croche=1/4 Noire"_qs}));
    const QStringList names = entries(u"notes"_qs);
    QCOMPARE(names.size(), 36);
    QCOMPARE(names.first(), u"Do2"_qs);
    QCOMPARE(names.at(21), u"La3"_qs);
    QCOMPARE(names.last(), u"Si4"_qs);

    const QList<std::pair<QString, QString>> placeholders{
        {u"tempo"_qs, u"Tempo"_qs}, {u"notes"_qs, u"Notes"_qs}, {u"duree"_qs, u"Durée"_qs}};
    for (const auto &[name, placeholder] : placeholders) {
        auto *list = control<QComboBox>(name);
        QCOMPARE(list->currentIndex(), -1);
        QCOMPARE(list->currentText(), placeholder);
        QCOMPARE(list->lineEdit()->text(), placeholder); // real text, not a placeholder look
    }
}

void TestForm1::focusAndTabOrder()
{
    createWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    QCOMPARE(QApplication::focusWidget()->objectName(), u"Text1"_qs);

    // Qt's Tab moves into a radio group once and arrows move within it, so walk the chain.
    const QStringList named{u"Text1"_qs, u"Option1"_qs, u"Option2"_qs,  u"tempo"_qs,
                            u"duree"_qs, u"notes"_qs,   u"Command2"_qs, u"Text2"_qs};
    QStringList order;
    QWidget *widget = control<QWidget>(u"Text1"_qs);
    do {
        if (named.contains(widget->objectName()))
            order << widget->objectName();
        widget = widget->nextInFocusChain();
    } while (widget != control<QWidget>(u"Text1"_qs) && order.size() <= named.size());
    QCOMPARE(order, QStringList({u"Text1"_qs, u"Option1"_qs, u"Option2"_qs, u"tempo"_qs,
                                 u"duree"_qs, u"notes"_qs, u"Command2"_qs, u"Text2"_qs}));
}

void TestForm1::aClickPicksThePortOnce_data()
{
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::addColumn<int>("openPort");

    // Even the checked one: the device behind it may have changed.
    QTest::newRow("the same port twice") << u"Option1"_qs << u"Option1"_qs << 1;
    QTest::newRow("the other port") << u"Option1"_qs << u"Option2"_qs << 2;
}

// A click checks the button on its way: that must not pick the port a second time.
void TestForm1::aClickPicksThePortOnce()
{
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(int, openPort);

    createWindow();
    click(first);
    QCOMPARE(m_link->opens, 1);
    click(second);
    QCOMPARE(m_link->opens, 2);
    QCOMPARE(m_link->openPort(), openPort);
    // From the keyboard, Space on the focused button.
    control<QWidget>(second)->setFocus();
    QTest::keyClick(control<QWidget>(second), Qt::Key_Space);
    QCOMPARE(m_link->opens, 3);
    QCOMPARE(m_boxes->boxes.size(), 0);
}

void TestForm1::failedOpenEnablesNothing()
{
    createWindow(u"/dev/tinkora-no-such-device"_qs);
    m_link->nextOpenFailure = OpenFailure::Missing;
    click(u"Option1"_qs);

    QCOMPARE(m_boxes->boxes.size(), 1);
    const MessageBoxCloser::Box box = m_boxes->boxes.first();
    QCOMPARE(box.title, u"Tinkora"_qs);
    QCOMPARE(box.icon, QMessageBox::Warning);
    QCOMPARE(box.buttons, 1);
    // The task bar shows the window's picture for its warnings too.
    QVERIFY(!box.windowIcon.isNull());
    QCOMPARE(box.windowIcon.cacheKey(), m_window->windowIcon().cacheKey());
    QVERIFY2(box.text.startsWith(u"Impossible d'ouvrir COM1 (/dev/tinkora-no-such-device) : "
                                 "le périphérique n'existe pas"_qs),
             qPrintable(box.text));
    // The option reads as typed, and is never cut across two lines ("--" / "com1").
    QVERIFY2(box.text.contains(u"l'option --com1."_qs), qPrintable(box.text));
    const qsizetype option = box.shownText.indexOf(u"com1."_qs) - 4;
    QTextBoundaryFinder lines(QTextBoundaryFinder::Line, box.shownText);
    for (qsizetype i = option + 1; i < option + 8; ++i) {
        lines.setPosition(i);
        QVERIFY2(!lines.isAtBoundary(), qPrintable(u"a line may break at %1"_qs.arg(i - option)));
    }
    QCOMPARE(checkedPort(), QString());
    for (const QString &name : {u"tempo"_qs, u"duree"_qs, u"notes"_qs, u"Command2"_qs})
        QVERIFY2(!control<QWidget>(name)->isEnabled(), qPrintable(name));
    QCOMPARE(m_link->wire, QByteArray());
}

void TestForm1::wholeMelodyByClicksAndTyping()
{
    createWindow();
    click(u"Option1"_qs);
    type(u"tempo"_qs, u"120"_qs);
    type(u"notes"_qs, u"La3"_qs);
    auto *duree = control<QComboBox>(u"duree"_qs);
    duree->setFocus();
    for (int i = 0; i < 5; ++i) // down the list to its fifth entry
        QTest::keyClick(duree, Qt::Key_Down);
    QCOMPARE(duree->currentText(), u"Noire"_qs);

    click(u"Command2"_qs);
    click(u"Command2"_qs);
    QCOMPARE(m_link->writes,
             (QList<Write>{{1, bytes({0, 22, 50})}, {1, bytes({2, 22, 50})}})); // a frame a write
    QCOMPARE(control<QLineEdit>(u"Text1"_qs)->text(), u"Note N° 2"_qs);
    QCOMPARE(control<QLineEdit>(u"Text2"_qs)->text(), u"@EEPROM: 2"_qs);
    QCOMPARE(m_boxes->boxes.size(), 0);
}

void TestForm1::missingChoicesWarnInOrder()
{
    createWindow();
    click(u"Option1"_qs);
    type(u"notes"_qs, u"La3"_qs);
    click(u"Command2"_qs);
    QCOMPARE(m_boxes->texts(), QStringList({u"Veillez indiquer un Tempo"_qs,
                                            u"Veillez indiquer une durée de note"_qs}));
    for (const MessageBoxCloser::Box &box : std::as_const(m_boxes->boxes)) {
        QCOMPARE(box.title, u"Tinkora"_qs);
        QCOMPARE(box.icon, QMessageBox::Warning);
    }
    QCOMPARE(m_link->wire, QByteArray());
    QCOMPARE(control<QLineEdit>(u"Text1"_qs)->text(), u"Note N°"_qs);
}

void TestForm1::typedTextIsTakenExactly()
{
    createWindow();
    click(u"Option1"_qs);
    // No completion turns "la3" into "La3", and Enter adds nothing to the lists.
    m_driver->choose(u"6"_qs, u"la3"_qs, u"Double Croche=1/4 Noire"_qs);
    QCOMPARE(control<QComboBox>(u"notes"_qs)->currentText(), u"la3"_qs);
    QCOMPARE(control<QComboBox>(u"tempo"_qs)->currentText(), u"6"_qs);
    QCOMPARE(control<QComboBox>(u"notes"_qs)->count(), 36);
    QCOMPARE(control<QComboBox>(u"tempo"_qs)->count(), 5);

    click(u"Command2"_qs);
    QCOMPARE(
        m_boxes->texts(),
        QStringList{
            u"Note inconnue : « \u2068la3\u2069 ». Vouliez-vous dire « \u2068La3\u2069 » ?"_qs});
    QCOMPARE(m_link->wire, QByteArray());
}

void TestForm1::switchingPortsMidMelody()
{
    createWindow(u"/dev/ttyUSB0"_qs, u"/dev/ttyUSB1"_qs);
    click(u"Option1"_qs);
    m_driver->choose(u"60"_qs, u"Do2"_qs, u"Ronde=4 Noires"_qs);
    click(u"Command2"_qs);

    click(u"Option2"_qs);
    QCOMPARE(checkedPort(), u"COM2"_qs);
    click(u"Command2"_qs);
    QCOMPARE(m_link->writes, (QList<Write>{{1, bytes({0, 1, 255})}, {2, bytes({2, 1, 255})}}));
    QCOMPARE(control<QLineEdit>(u"Text1"_qs)->text(), u"Note N° 2"_qs);

    // Clicking the checked button again keeps the port as it is.
    click(u"Option2"_qs);
    QCOMPARE(checkedPort(), u"COM2"_qs);
    QCOMPARE(m_boxes->boxes.size(), 0);
}

void TestForm1::failedSwitchKeepsTheOpenPort()
{
    createWindow();
    click(u"Option1"_qs);
    m_link->nextOpenFailure = OpenFailure::Missing;
    click(u"Option2"_qs);
    QCOMPARE(m_boxes->boxes.size(), 1);
    QVERIFY2(m_boxes->boxes.first().text.contains(u"COM1 reste utilisé"_qs),
             qPrintable(m_boxes->boxes.first().text));
    QCOMPARE(checkedPort(), u"COM1"_qs);

    m_driver->choose(u"120"_qs, u"La3"_qs, u"Noire"_qs);
    click(u"Command2"_qs);
    QCOMPARE(m_link->writes, (QList<Write>{{1, bytes({0, 22, 50})}}));
}

void TestForm1::unpluggedAdapterIsReportedOnce()
{
    const QString device = u"/dev/ttyUSB0"_qs;
    createWindow(device);
    click(u"Option1"_qs);
    m_link->losePort();
    QCOMPARE(m_boxes->boxes.size(), 0); // not inside the link's own notification

    QTRY_COMPARE(m_boxes->boxes.size(), 1);
    QCOMPARE(m_boxes->boxes.first().text,
             u"COM1 (%1) a été fermé : le périphérique a disparu (adaptateur débranché ?).\n"
             "Rebranchez-le, puis choisissez à nouveau le port."_qs.arg(device));
    QCOMPARE(checkedPort(), QString());

    m_driver->choose(u"120"_qs, u"La3"_qs, u"Noire"_qs);
    click(u"Command2"_qs);
    QCOMPARE(m_boxes->boxes.size(), 2);
    QVERIFY(m_boxes->boxes.last().text.startsWith(u"Aucun port n'est ouvert"_qs));
    QCOMPARE(control<QLineEdit>(u"Text1"_qs)->text(), u"Note N°"_qs);
    QCOMPARE(m_link->wire, QByteArray());
}

void TestForm1::unplugFoundByATransfer()
{
    createWindow();
    click(u"Option1"_qs);
    m_driver->choose(u"120"_qs, u"La3"_qs, u"Noire"_qs);
    // Pressed before the port had a chance to notice: the transfer itself finds the device gone.
    m_link->nextFailure = WriteFailure::DeviceGone;
    control<QToolButton>(u"Command2"_qs)->click();

    QCOMPARE(m_boxes->boxes.size(), 1);
    QVERIFY(m_boxes->boxes.first().text.startsWith(u"La note n'a pas été envoyée sur COM1"_qs));
    QCOMPARE(checkedPort(), QString());
    QCOMPARE(control<QLineEdit>(u"Text1"_qs)->text(), u"Note N°"_qs);
    QCOMPARE(m_link->wire, QByteArray());
}

void TestForm1::notesLostInAnUnplugAreSentAgain_data()
{
    QTest::addColumn<int>("sentBefore"); // notes that left before the line stalled
    QTest::addColumn<bool>("foundByATransfer");
    QTest::addColumn<QString>("lostNotes");
    QTest::addColumn<QString>("text1");
    QTest::addColumn<QString>("text2");

    QTest::newRow("noticed by the port")
        << 1 << false
        << u"Les notes 2 à 4 n'ont pas été envoyées : la prochaine note ira à l'emplacement 2 "
           "(@EEPROM: 2)."_qs
        << u"Note N° 1"_qs << u"@EEPROM: 0"_qs;
    QTest::newRow("found by a transfer")
        << 1 << true
        << u"Les notes 2 à 4 n'ont pas été envoyées : la prochaine note ira à l'emplacement 2 "
           "(@EEPROM: 2)."_qs
        << u"Note N° 1"_qs << u"@EEPROM: 0"_qs;
    QTest::newRow("none had left")
        << 0 << false
        << u"Les notes 1 à 3 n'ont pas été envoyées : la prochaine note ira à l'emplacement 1 "
           "(@EEPROM: 0)."_qs
        << u"Note N°"_qs << u"@EEPROM"_qs;
}

void TestForm1::notesLostInAnUnplugAreSentAgain()
{
    QFETCH(int, sentBefore);
    QFETCH(bool, foundByATransfer);
    QFETCH(QString, lostNotes);
    QFETCH(QString, text1);
    QFETCH(QString, text2);

    const QString device = u"/dev/ttyUSB0"_qs;
    createWindow(device, u"/dev/ttyUSB1"_qs);
    click(u"Option1"_qs);
    m_driver->choose(u"120"_qs, u"La3"_qs, u"Noire"_qs);
    for (int note = 0; note < sentBefore; ++note)
        click(u"Command2"_qs);
    m_link->holdLine = true; // the line stalls
    for (int note = 0; note < 3; ++note)
        click(u"Command2"_qs); // shown as written, still queued behind the stall

    if (foundByATransfer) {
        m_link->nextFailure = WriteFailure::DeviceGone;
        control<QToolButton>(u"Command2"_qs)->click();
        QCOMPARE(m_boxes->texts(),
                 QStringList{u"La note n'a pas été envoyée sur COM1 (%1) : le périphérique a "
                             "disparu (adaptateur débranché ?). Vérifiez le branchement, puis "
                             "choisissez à nouveau le port.\n"_qs.arg(device) +
                             lostNotes});
    } else {
        m_link->losePort();
        QTRY_COMPARE(m_boxes->boxes.size(), 1);
        QCOMPARE(m_boxes->texts(),
                 QStringList{u"COM1 (%1) a été fermé : le périphérique a disparu (adaptateur "
                             "débranché ?).\n"_qs.arg(device) +
                             lostNotes +
                             u"\nRebranchez-le, puis choisissez à nouveau le port."_qs});
    }
    QCOMPARE(control<QLineEdit>(u"Text1"_qs)->text(), text1);
    QCOMPARE(control<QLineEdit>(u"Text2"_qs)->text(), text2);

    // The lost notes go again to their own slots.
    m_link->holdLine = false;
    click(u"Option2"_qs);
    QList<Write> expected;
    for (int slot = sentBefore + 1; slot <= sentBefore + 3; ++slot) {
        click(u"Command2"_qs);
        expected.append({2, bytes({2 * (slot - 1), 22, 50})});
    }
    QCOMPARE(m_link->writes.mid(sentBefore + 3), expected);
    QCOMPARE(control<QLineEdit>(u"Text1"_qs)->text(), u"Note N° %1"_qs.arg(sentBefore + 3));
    QCOMPARE(m_boxes->boxes.size(), 1);
}

// The adapter plugged back in: picking the port again goes on with the melody where it was.
// (That the link reopens a device name whose adapter changed is tst_serialportlink's.)
void TestForm1::portPickedAgainAfterAnUnplug()
{
    createWindow();
    click(u"Option1"_qs);
    m_driver->choose(u"120"_qs, u"La3"_qs, u"Noire"_qs);
    click(u"Command2"_qs);

    m_link->losePort();
    QTRY_COMPARE(m_boxes->boxes.size(), 1);
    QCOMPARE(checkedPort(), QString());
    QVERIFY(!m_link->openPort());

    click(u"Option1"_qs);
    QCOMPARE(checkedPort(), u"COM1"_qs);
    click(u"Command2"_qs);
    QCOMPARE(m_link->writes, (QList<Write>{{1, bytes({0, 22, 50})}, {1, bytes({2, 22, 50})}}));
    QCOMPARE(control<QLineEdit>(u"Text1"_qs)->text(), u"Note N° 2"_qs);
    QCOMPARE(m_boxes->boxes.size(), 1);
}

void TestForm1::busyPortThenFreed()
{
    createWindow();
    // A terminal program holding the port, as picocom or tio do (a real lock is
    // tst_serialportlink's).
    m_link->nextOpenFailure = OpenFailure::Busy;
    click(u"Option1"_qs);
    QCOMPARE(m_boxes->texts(),
             QStringList{u"Impossible d'ouvrir COM1 (/dev/ttyUSB0) : le port est déjà utilisé par "
                         "un autre programme.\nFermez le programme qui l'utilise, puis choisissez "
                         "à nouveau le port."_qs});
    QCOMPARE(checkedPort(), QString());
    QVERIFY(!control<QWidget>(u"Command2"_qs)->isEnabled());

    click(u"Option1"_qs);
    QCOMPARE(checkedPort(), u"COM1"_qs);
    QVERIFY(control<QWidget>(u"Command2"_qs)->isEnabled());
    QCOMPARE(m_boxes->boxes.size(), 1);
}

void TestForm1::devicePathIsNotAFormat()
{
    createWindow(u"/dev/%1%2"_qs);
    m_link->nextOpenFailure = OpenFailure::Missing;
    click(u"Option1"_qs);
    QCOMPARE(m_boxes->boxes.size(), 1);
    QVERIFY2(m_boxes->boxes.first().text.startsWith(u"Impossible d'ouvrir COM1 (/dev/%1%2) : "_qs),
             qPrintable(m_boxes->boxes.first().text));
}

void TestForm1::enterPressesTransfert_data()
{
    QTest::addColumn<Qt::Key>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::newRow("Enter") << Qt::Key_Return << Qt::KeyboardModifiers();
    QTest::newRow("keypad Enter") << Qt::Key_Enter << Qt::KeyboardModifiers(Qt::KeypadModifier);
}

void TestForm1::enterPressesTransfert()
{
    QFETCH(Qt::Key, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);

    createWindow();
    click(u"Option1"_qs);
    m_driver->choose(u"120"_qs, u"La3"_qs, u"Noire"_qs);
    auto *transfert = control<QToolButton>(u"Command2"_qs);
    transfert->setFocus();
    QTest::keyClick(transfert, key, modifiers);
    QCOMPARE(m_link->wire, bytes({0, 22, 50}));
    // Held down, it sends one note, not one per repeat.
    QKeyEvent repeat(QEvent::KeyPress, key, modifiers, QString(), true);
    QApplication::sendEvent(transfert, &repeat);
    QCOMPARE(m_link->wire, bytes({0, 22, 50}));
    // Enter elsewhere does not send.
    control<QLineEdit>(u"Text1"_qs)->setFocus();
    QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    QCOMPARE(m_link->wire, bytes({0, 22, 50}));
    QCOMPARE(m_boxes->boxes.size(), 0);
}

void TestForm1::fixedSizeOffersNoMaximize()
{
    createWindow();
    const Qt::WindowFlags flags = m_window->windowFlags();
    QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
    QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(flags.testFlag(Qt::WindowMinimizeButtonHint));
    QCOMPARE(m_window->minimumSize(), m_window->maximumSize());
}

// The right-click menu of the fields and lists comes from Qt; it must speak French too.
void TestForm1::rightClickMenuIsFrench()
{
    QVERIFY2(installQtFrench(*qApp), "Qt's French translation (qt6-translations-l10n)");
    createWindow();
    for (QLineEdit *field :
         {control<QLineEdit>(u"Text1"_qs), control<QComboBox>(u"notes"_qs)->lineEdit()}) {
        std::unique_ptr<QMenu> menu(field->createStandardContextMenu());
        QStringList texts;
        for (const QAction *action : menu->actions()) {
            if (!action->isSeparator())
                texts << action->text().remove(u'&').section(u'\t', 0, 0);
        }
        QCOMPARE(texts, (QStringList{u"Annuler"_qs, u"Rétablir"_qs, u"Couper"_qs, u"Copier"_qs,
                                     u"Coller"_qs, u"Supprimer"_qs, u"Tout sélectionner"_qs}));
    }
}

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
