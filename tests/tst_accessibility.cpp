// SPDX-License-Identifier: GPL-3.0-or-later
#include "form1.h"
#include "givenports.h"
#include "messageboxcloser.h"
#include "recordinglink.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

#include <memory>

// What a screen reader learns from the window: Qt's accessibility interfaces are what the AT-SPI
// bridge hands over. On focus it speaks the focused control's label, or its name without one.
class TestAccessibility : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void controls_data();
    void controls();
    void everyControlIsDescribed();
    void melodyFromTheKeyboardIsAnnounced();
    void windowIsAFrameNamedByItsCaption();
    void listsKeepTheirPurposeAsTheirTextChanges_data();
    void listsKeepTheirPurposeAsTheirTextChanges();
    void toggleActionOpensThePort();
    void toggleActionOnTheCheckedPortDoesNothing();
    void toggleActionOnAPortThatFailsLeavesItUnchecked();
    void actionsReturnBeforeTheirWarning_data();
    void actionsReturnBeforeTheirWarning();
    void entryChosenThroughItsAction_data();
    void entryChosenThroughItsAction();
    void highlightInAnOpenPopupIsNoChoice();

private:
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);

    RecordingLink m_link; // outlives the window that writes through it
    std::unique_ptr<Form1> m_window;
    std::unique_ptr<MessageBoxCloser> m_boxes;
};

// On Linux Qt names a combo box after its text, so a label relation is what says what it is for.
static QString announcedName(QAccessibleInterface *iface)
{
    const auto labels = iface->relations(QAccessible::Label);
    return labels.isEmpty() ? iface->text(QAccessible::Name)
                            : labels.first().first->text(QAccessible::Name);
}

static QString focusAnnounced()
{
    return announcedName(QAccessible::queryAccessibleInterface(QApplication::focusWidget()));
}

// What switch and voice control do to check a port.
static void toggle(QWidget *button)
{
    QAccessible::queryAccessibleInterface(button)->actionInterface()->doAction(
        QAccessibleActionInterface::toggleAction());
}

void TestAccessibility::init()
{
    m_link.reset();
    m_boxes = std::make_unique<MessageBoxCloser>();
    PortMap ports = givenPortsOnly();
    ports.setDevicePath(1, u"/dev/ttyUSB0"_qs);
    ports.setDevicePath(2, u"/dev/ttyUSB1"_qs);
    m_window = std::make_unique<Form1>(m_link, ports);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
}

void TestAccessibility::cleanup()
{
    m_window.reset();
    m_boxes.reset();
}

void TestAccessibility::press(Qt::Key key, Qt::KeyboardModifiers modifiers)
{
    QTest::keyClick(QApplication::focusWidget(), key, modifiers);
}

void TestAccessibility::controls_data()
{
    QTest::addColumn<QString>("objectName");
    QTest::addColumn<QAccessible::Role>("role");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("descriptionMentions");

    QTest::newRow("COM1") << u"Option1"_qs << QAccessible::RadioButton << u"COM1"_qs
                          << u"port série COM1"_qs;
    QTest::newRow("COM2") << u"Option2"_qs << QAccessible::RadioButton << u"COM2"_qs
                          << u"port série COM2"_qs;
    QTest::newRow("tempo") << u"tempo"_qs << QAccessible::ComboBox << u"Tempo"_qs
                           << u"noires par minute"_qs;
    QTest::newRow("note value") << u"duree"_qs << QAccessible::ComboBox << u"Durée"_qs
                                << u"ronde"_qs;
    QTest::newRow("note") << u"notes"_qs << QAccessible::ComboBox << u"Notes"_qs << u"Do2"_qs;
    QTest::newRow("Transfert") << u"Command2"_qs << QAccessible::Button << u"Transfert"_qs
                               << u"EEPROM"_qs;
    QTest::newRow("slot display") << u"Text1"_qs << QAccessible::EditableText
                                  << u"Numéro de note"_qs << u"note"_qs;
    QTest::newRow("address display")
        << u"Text2"_qs << QAccessible::EditableText << u"Adresse EEPROM"_qs << u"EEPROM"_qs;
}

void TestAccessibility::controls()
{
    QFETCH(QString, objectName);
    QFETCH(QAccessible::Role, role);
    QFETCH(QString, name);
    QFETCH(QString, descriptionMentions);

    auto *control = m_window->findChild<QWidget *>(objectName);
    QVERIFY(control);
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(control);
    QVERIFY(iface);
    QCOMPARE(iface->role(), role);
    QCOMPARE(announcedName(iface), name);
    const QString description = iface->text(QAccessible::Description);
    QVERIFY2(description.contains(descriptionMentions), qPrintable(description));
    // The window's own tree leads to it, as a screen reader walks it.
    QCOMPARE(iface->parent(), QAccessible::queryAccessibleInterface(m_window.get()));
}

void TestAccessibility::everyControlIsDescribed()
{
    QAccessibleInterface *window = QAccessible::queryAccessibleInterface(m_window.get());
    int controls = 0;
    for (int i = 0; i < window->childCount(); ++i) {
        QAccessibleInterface *iface = window->child(i);
        if (!iface->state().focusable)
            continue;
        ++controls;
        const QString where = iface->object()->objectName();
        QVERIFY2(!announcedName(iface).isEmpty(), qPrintable(where));
        QVERIFY2(!iface->text(QAccessible::Description).isEmpty(), qPrintable(where));
        QVERIFY2(iface->text(QAccessible::Description) != announcedName(iface), qPrintable(where));
    }
    QCOMPARE(controls, 8);
}

void TestAccessibility::melodyFromTheKeyboardIsAnnounced()
{
    QCOMPARE(QApplication::focusWidget()->objectName(), u"Text1"_qs);
    press(Qt::Key_Tab);
    QCOMPARE(focusAnnounced(), u"COM1"_qs);
    press(Qt::Key_Space);
    QVERIFY(m_window->findChild<QRadioButton *>(u"Option1"_qs)->isChecked());
    press(Qt::Key_Right); // within the pair of ports, as in any radio group
    QCOMPARE(focusAnnounced(), u"COM2"_qs);
    QVERIFY(m_window->findChild<QRadioButton *>(u"Option2"_qs)->isChecked());

    press(Qt::Key_Tab);
    QCOMPARE(focusAnnounced(), u"Tempo"_qs);
    QTest::keyClicks(QApplication::focusWidget(), u"120"_qs);
    press(Qt::Key_Tab);
    QCOMPARE(focusAnnounced(), u"Durée"_qs);
    for (int i = 0; i < 5; ++i) // down the list to its fifth entry, "Noire"
        press(Qt::Key_Down);
    press(Qt::Key_Tab);
    QCOMPARE(focusAnnounced(), u"Notes"_qs);
    QTest::keyClicks(QApplication::focusWidget(), u"La3"_qs);
    press(Qt::Key_Tab);
    QCOMPARE(focusAnnounced(), u"Transfert"_qs);
    press(Qt::Key_Space);
    // Address 0, La3 is note 22 (0x16), a quarter note at 120 lasts 50 (0x32).
    QCOMPARE(m_link.writes, (QList<RecordingLink::Write>{{2, QByteArray::fromHex("001632")}}));

    press(Qt::Key_Tab);
    QCOMPARE(focusAnnounced(), u"Adresse EEPROM"_qs);
    QCOMPARE(QAccessible::queryAccessibleInterface(QApplication::focusWidget())
                 ->text(QAccessible::Value),
             u"@EEPROM: 0"_qs);
    press(Qt::Key_Tab, Qt::ShiftModifier);
    press(Qt::Key_Space); // the second press goes to the next slot
    QCOMPARE(m_link.writes, (QList<RecordingLink::Write>{{2, QByteArray::fromHex("001632")},
                                                         {2, QByteArray::fromHex("021632")}}));
    QCOMPARE(m_boxes->boxes.size(), 0);
}

void TestAccessibility::windowIsAFrameNamedByItsCaption()
{
    QAccessibleInterface *window = QAccessible::queryAccessibleInterface(m_window.get());
    QCOMPARE(window->role(), QAccessible::Window); // a "frame" over AT-SPI, not a "filler"
    QCOMPARE(window->text(QAccessible::Name), u"Générateur De mélodies"_qs);
}

void TestAccessibility::listsKeepTheirPurposeAsTheirTextChanges_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("placeholder");
    QTest::addColumn<QString>("typed");

    QTest::newRow("tempo") << u"tempo"_qs << u"Tempo"_qs << u"Tempo"_qs << u"120"_qs;
    QTest::newRow("note value") << u"duree"_qs << u"Durée"_qs << u"Durée"_qs << u"Noire"_qs;
    QTest::newRow("note") << u"notes"_qs << u"Notes"_qs << u"Notes"_qs << u"La3"_qs;
}

// Orca reads a list's name again when its text changes: the name must still say what it is for.
void TestAccessibility::listsKeepTheirPurposeAsTheirTextChanges()
{
    QFETCH(QString, list);
    QFETCH(QString, name);
    QFETCH(QString, placeholder);
    QFETCH(QString, typed);

    press(Qt::Key_Tab);
    press(Qt::Key_Space); // COM1 opens and the lists can be used
    auto *combo = m_window->findChild<QComboBox *>(list);
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(combo);
    QCOMPARE(iface->relations(QAccessible::Label).size(), 0);
    QCOMPARE(iface->text(QAccessible::Name), name);
    QCOMPARE(iface->text(QAccessible::Value), placeholder);
    QCOMPARE(iface->child(1)->object(), combo->lineEdit());
    QCOMPARE(iface->child(1)->text(QAccessible::Name), name); // the field inside says whose it is

    combo->lineEdit()->setFocus();
    combo->lineEdit()->selectAll();
    QTest::keyClicks(combo->lineEdit(), typed);
    QCOMPARE(iface->text(QAccessible::Name), name);
    QCOMPARE(iface->text(QAccessible::Value), typed);
    press(Qt::Key_Down); // the first entry of the list: nothing was chosen in it yet
    QCOMPARE(iface->text(QAccessible::Name), name);
    QCOMPARE(iface->text(QAccessible::Value), combo->currentText());
    QVERIFY(combo->currentText() != typed);
}

// Switch and voice control check a port through its Toggle action, not by a click.
void TestAccessibility::toggleActionOpensThePort()
{
    auto *option2 = m_window->findChild<QRadioButton *>(u"Option2"_qs);
    QAccessibleActionInterface *actions =
        QAccessible::queryAccessibleInterface(option2)->actionInterface();
    QVERIFY(actions);
    QVERIFY(actions->actionNames().contains(QAccessibleActionInterface::toggleAction()));
    actions->doAction(QAccessibleActionInterface::toggleAction());

    QTRY_VERIFY(option2->isChecked());
    QCOMPARE(m_link.opens, 1); // once, though the button both toggles and reports it
    QCOMPARE(m_link.openPort(), 2);
    QVERIFY(m_window->findChild<QWidget *>(u"Command2"_qs)->isEnabled());
    QVERIFY(m_window->findChild<QWidget *>(u"notes"_qs)->isEnabled());
    // The port is really open: a note goes out on it.
    m_window->findChild<QComboBox *>(u"tempo"_qs)->setEditText(u"120"_qs);
    m_window->findChild<QComboBox *>(u"notes"_qs)->setEditText(u"La3"_qs);
    m_window->findChild<QComboBox *>(u"duree"_qs)->setEditText(u"Noire"_qs);
    QAccessible::queryAccessibleInterface(m_window->findChild<QWidget *>(u"Command2"_qs))
        ->actionInterface()
        ->doAction(QAccessibleActionInterface::pressAction());
    QTRY_COMPARE(m_link.writes, (QList<RecordingLink::Write>{{2, QByteArray::fromHex("001632")}}));
    QCOMPARE(m_boxes->texts(), QStringList());
}

// Qt does not uncheck a checked radio button through its action: the port stays as it is.
void TestAccessibility::toggleActionOnTheCheckedPortDoesNothing()
{
    auto *option1 = m_window->findChild<QRadioButton *>(u"Option1"_qs);
    toggle(option1);
    QTRY_COMPARE(m_link.opens, 1);
    toggle(option1);
    toggle(m_window->findChild<QRadioButton *>(
        u"Option2"_qs)); // the last queued action, to know that the one before has run
    QTRY_COMPARE(m_link.opens, 2);
    QCOMPARE(m_link.openPort(), 2);
    QCOMPARE(m_boxes->texts(), QStringList());
}

void TestAccessibility::toggleActionOnAPortThatFailsLeavesItUnchecked()
{
    auto *option1 = m_window->findChild<QRadioButton *>(u"Option1"_qs);
    auto *option2 = m_window->findChild<QRadioButton *>(u"Option2"_qs);

    m_link.nextOpenFailure = OpenFailure::Missing;
    toggle(option2);
    QTRY_COMPARE(m_boxes->boxes.size(), 1); // told why, once
    QVERIFY(!option2->isChecked());
    QVERIFY(!m_window->findChild<QWidget *>(u"Command2"_qs)->isEnabled());

    toggle(option1);
    QTRY_VERIFY(option1->isChecked());
    m_link.nextOpenFailure = OpenFailure::Missing;
    toggle(option2); // fails again; COM1 stays the port in use, and checked
    QTRY_COMPARE(m_boxes->boxes.size(), 2);
    QVERIFY(option1->isChecked());
    QVERIFY(!option2->isChecked());
    QVERIFY(m_window->findChild<QWidget *>(u"Command2"_qs)->isEnabled());
}

void TestAccessibility::actionsReturnBeforeTheirWarning_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("action");
    QTest::addColumn<bool>("failingPort");
    QTest::addColumn<int>("warnings");

    QTest::newRow("Transfert with nothing chosen")
        << u"Command2"_qs << QAccessibleActionInterface::pressAction() << false << 3;
    QTest::newRow("port that fails to open")
        << u"Option2"_qs << QAccessibleActionInterface::toggleAction() << true << 1;
}

// A client waits for the call to return; a modal box opened inside it would hold it.
void TestAccessibility::actionsReturnBeforeTheirWarning()
{
    QFETCH(QString, control);
    QFETCH(QString, action);
    QFETCH(bool, failingPort);
    QFETCH(int, warnings);

    toggle(m_window->findChild<QWidget *>(u"Option1"_qs));
    QTRY_VERIFY(m_window->findChild<QWidget *>(u"Command2"_qs)->isEnabled());
    m_link.nextOpenFailure = failingPort ? OpenFailure::Missing : OpenFailure::None;
    QAccessible::queryAccessibleInterface(m_window->findChild<QWidget *>(control))
        ->actionInterface()
        ->doAction(action);
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
    QCOMPARE(m_boxes->boxes.size(), 0);
    QTRY_COMPARE(m_boxes->boxes.size(), warnings);
    QCOMPARE(m_link.wire, QByteArray());
}

void TestAccessibility::entryChosenThroughItsAction_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("entry");
    QTest::addColumn<bool>("popupOpen");

    QTest::newRow("tempo, closed") << u"tempo"_qs << 2 << u"120"_qs << false;
    QTest::newRow("note, closed") << u"notes"_qs << 21 << u"La3"_qs << false;
    QTest::newRow("note value, open") << u"duree"_qs << 4 << u"Noire"_qs << true;
    QTest::newRow("note, first entry, open") << u"notes"_qs << 0 << u"Do2"_qs << true;
}

// What a screen reader or voice control does to choose an entry: the entry's own action.
void TestAccessibility::entryChosenThroughItsAction()
{
    QFETCH(QString, list);
    QFETCH(int, row);
    QFETCH(QString, entry);
    QFETCH(bool, popupOpen);

    toggle(m_window->findChild<QWidget *>(u"Option1"_qs));
    auto *combo = m_window->findChild<QComboBox *>(list);
    QTRY_VERIFY(combo->isEnabled());
    if (popupOpen) {
        combo->showPopup();
        QTRY_VERIFY(combo->view()->isVisible());
    }
    QAccessibleInterface *entries = QAccessible::queryAccessibleInterface(combo)->child(0);
    QAccessibleInterface *cell = entries->child(row);
    QCOMPARE(cell->text(QAccessible::Name), entry);
    cell->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    QTRY_COMPARE(combo->currentText(), entry);
    QCOMPARE(combo->currentIndex(), row);
    QTRY_VERIFY(!combo->view()->isVisible());
}

void TestAccessibility::highlightInAnOpenPopupIsNoChoice()
{
    toggle(m_window->findChild<QWidget *>(u"Option1"_qs));
    auto *notes = m_window->findChild<QComboBox *>(u"notes"_qs);
    QTRY_VERIFY(notes->isEnabled());
    notes->showPopup();
    QTRY_VERIFY(notes->view()->isVisible());
    QTest::keyClick(notes->view(), Qt::Key_Down);
    QTest::keyClick(notes->view(), Qt::Key_Down);
    QCOMPARE(notes->currentText(), u"Notes"_qs);
    QTest::keyClick(notes->view(), Qt::Key_Escape);
    QTRY_VERIFY(!notes->view()->isVisible());
    QCOMPARE(notes->currentText(), u"Notes"_qs);
}

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
