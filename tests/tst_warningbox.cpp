// SPDX-License-Identifier: GPL-3.0-or-later
#include "form1.h"
#include "givenports.h"
#include "messageboxcloser.h"
#include "recordinglink.h"
#include "warningbox.h"
#include "windowdriver.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QWidget>
#include <QWindow>

// The warning box, and the sheet that stands for it inside the window where a box of its own
// cannot be a dialog of the window: how it looks, and option names kept whole when its text
// wraps.
class TestWarningBox : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { setWarningsInsideWindow(false); }
    void optionsKeptWhole_data();
    void optionsKeptWhole();
    void boxShowsTheTextAsGiven_data();
    void boxShowsTheTextAsGiven();
    void boxIsADialogOfItsWindow();
    void sheetHoldsTheWindowUntilDismissed_data();
    void sheetHoldsTheWindowUntilDismissed();
    void longTextScrollsInsideTheWindow();
};

void TestWarningBox::optionsKeptWhole_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    const QString j = QStringLiteral("\u2060"); // word joiner
    QTest::newRow("long option") << u"lancez tinkora --com1 PÉRIPHÉRIQUE."_qs
                                 << u"lancez tinkora -%1-%1com1 PÉRIPHÉRIQUE."_qs.arg(j);
    QTest::newRow("hyphens inside the name")
        << u"option --dry-run"_qs << u"option -%1-%1dry-%1run"_qs.arg(j);
    QTest::newRow("short option") << u"ls -l"_qs << u"ls -%1l"_qs.arg(j);
    QTest::newRow("two options") << u"--com1 ou --com2"_qs << u"-%1-%1com1 ou -%1-%1com2"_qs.arg(j);
    QTest::newRow("at the start of a line") << u"a\n--help"_qs << u"a\n-%1-%1help"_qs.arg(j);
    QTest::newRow("hyphen inside a word") << u"peut-être"_qs << u"peut-être"_qs;
    QTest::newRow("hyphenated path")
        << u"/dev/serial/by-id/usb-FTDI"_qs << u"/dev/serial/by-id/usb-FTDI"_qs;
    QTest::newRow("a lone dash") << u"COM1 - COM2"_qs << u"COM1 - COM2"_qs;
    QTest::newRow("upper case is no option") << u"-A"_qs << u"-A"_qs;
    QTest::newRow("empty") << QString() << QString();
}

void TestWarningBox::optionsKeptWhole()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(::optionsKeptWhole(text), expected);
}

void TestWarningBox::boxShowsTheTextAsGiven_data()
{
    QTest::addColumn<bool>("insideWindow");
    QTest::newRow("box") << false;
    QTest::newRow("sheet") << true;
}

void TestWarningBox::boxShowsTheTextAsGiven()
{
    QFETCH(bool, insideWindow);
    setWarningsInsideWindow(insideWindow);
    QWidget window;
    window.setWindowIcon(QIcon(QPixmap(16, 16)));
    window.show();
    MessageBoxCloser boxes;
    // Markup stays text: typed text and device names are never read as rich text.
    const QString text = u"<b>COM1</b> : lancez tinkora --com1 PÉRIPHÉRIQUE"_qs;
    showWarningBox(&window, text);
    showWarningBox(&window, u"Seconde."_qs); // after the first, not over it

    QCOMPARE(boxes.texts(), QStringList({text, u"Seconde."_qs}));
    QCOMPARE(window.findChild<QWidget *>(u"warningSheet"_qs), nullptr);
    const MessageBoxCloser::Box &box = boxes.boxes.first();
    QCOMPARE(box.title, u"Tinkora"_qs);
    QCOMPARE(box.icon, QMessageBox::Warning);
    QCOMPARE(box.buttons, 1);
    QCOMPARE(box.text, text);
    QCOMPARE(box.shownText, ::optionsKeptWhole(text));
}

// The window manager places a box and draws its buttons from these facts alone.
void TestWarningBox::boxIsADialogOfItsWindow()
{
    QWidget window;
    window.setGeometry(120, 90, 357, 261);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    struct Seen {
        QWidget *parent = nullptr;
        QWindow *transientParent = nullptr;
        Qt::WindowFlags flags;
        QPoint centre;
    } seen;
    QTimer probe;
    connect(&probe, &QTimer::timeout, [&] {
        QWidget *box = QApplication::activeModalWidget();
        if (!box || !box->isVisible())
            return;
        seen = {box->parentWidget(), box->windowHandle()->transientParent(), box->windowFlags(),
                box->frameGeometry().center()};
        box->close();
    });
    probe.start(0);
    showWarningBox(&window, u"Veillez choisir une note."_qs);

    QCOMPARE(seen.parent, &window);
    QCOMPARE(seen.transientParent, window.windowHandle());
    QCOMPARE(seen.flags & Qt::WindowType_Mask, Qt::Dialog);
    QCOMPARE(seen.flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint),
             Qt::WindowFlags());
    QVERIFY(seen.flags & Qt::WindowTitleHint);
    const QPoint offCentre = seen.centre - window.frameGeometry().center();
    QVERIFY2(offCentre.manhattanLength() <= 2,
             qPrintable(u"%1, %2"_qs.arg(offCentre.x()).arg(offCentre.y())));
}

void TestWarningBox::sheetHoldsTheWindowUntilDismissed_data()
{
    QTest::addColumn<int>("key"); // 0: a click on OK
    QTest::newRow("Enter") << int(Qt::Key_Return);
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter);
    QTest::newRow("Escape") << int(Qt::Key_Escape);
    QTest::newRow("OK") << 0;
}

// Input goes through the native window, as the user's does, so a click lands on what lies under.
void TestWarningBox::sheetHoldsTheWindowUntilDismissed()
{
    QFETCH(int, key);
    setWarningsInsideWindow(true);
    RecordingLink link;
    Form1 window(link, givenPortsOnly());
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    WindowDriver driver(&window);
    driver.click(u"Option1"_qs);
    driver.type(u"tempo"_qs, u"120"_qs);
    driver.type(u"notes"_qs, u"La3"_qs); // the note value is missing: one warning
    auto *transfert = driver.control<QToolButton>(u"Command2"_qs);
    const QSize size = window.size();
    QWindow *native = window.windowHandle();
    QRect card;
    bool transfertPressed = false, focusLeft = false;
    QAccessible::Role role = QAccessible::NoRole;
    QString description;
    QTimer probe;
    connect(&probe, &QTimer::timeout, [&] {
        auto *sheet = window.findChild<QWidget *>(u"warningSheet"_qs);
        if (card.isValid() || !sheet)
            return;
        card = sheet->findChild<QWidget *>(u"warningCard"_qs)->geometry();
        role = QAccessible::queryAccessibleInterface(sheet)->role();
        description = QAccessible::queryAccessibleInterface(sheet)->text(QAccessible::Description);
        QSignalSpy pressed(transfert, &QToolButton::pressed);
        QTest::mousePress(native, Qt::LeftButton, {}, transfert->geometry().center());
        transfertPressed = !pressed.isEmpty();
        if (!transfertPressed) // else the release would open a second warning
            QTest::mouseRelease(native, Qt::LeftButton, {}, transfert->geometry().center());
        for (int typed : {Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Backtab, Qt::Key_L, Qt::Key_A})
            QTest::keyClick(native, Qt::Key(typed));
        focusLeft = !sheet->isAncestorOf(QApplication::focusWidget());
        if (focusLeft) // Enter could press "Transfert" again
            sheet->close();
        else if (key)
            QTest::keyClick(native, Qt::Key(key));
        else
            QTest::mouseClick(native, Qt::LeftButton, {},
                              sheet->findChild<QPushButton *>()->mapTo(&window, QPoint(4, 4)));
    });
    probe.start(0);
    driver.click(u"Command2"_qs); // returns once the warning is dismissed

    QCOMPARE(window.findChild<QWidget *>(u"warningSheet"_qs), nullptr);
    QCOMPARE(card.center(), window.rect().center());
    QCOMPARE(window.size(), size);
    QVERIFY(!transfertPressed);
    QVERIFY(!focusLeft);
    QCOMPARE(driver.control<QComboBox>(u"notes"_qs)->currentText(), u"La3"_qs);
    QCOMPARE(QApplication::focusWidget(), driver.control<QComboBox>(u"notes"_qs));
    QCOMPARE(role, QAccessible::AlertMessage);
    QCOMPARE(description, u"Veillez indiquer une durée de note"_qs);
}

void TestWarningBox::longTextScrollsInsideTheWindow()
{
    setWarningsInsideWindow(true);
    QWidget window;
    window.setFixedSize(357, 261);
    window.show();
    QRect card;
    bool scrolls = false;
    QTimer probe;
    connect(&probe, &QTimer::timeout, [&] {
        if (auto *sheet = window.findChild<QWidget *>(u"warningSheet"_qs)) {
            card = sheet->findChild<QWidget *>(u"warningCard"_qs)->geometry();
            scrolls = sheet->findChild<QScrollArea *>()->verticalScrollBar()->isVisible();
            sheet->close();
        }
    });
    probe.start(0);
    showWarningBox(&window, u"Une ligne de texte qui revient encore. "_qs.repeated(40));
    QVERIFY(scrolls);
    QVERIFY(window.rect().contains(card));
    QCOMPARE(window.size(), QSize(357, 261));
}

QTEST_MAIN(TestWarningBox)
#include "tst_warningbox.moc"
