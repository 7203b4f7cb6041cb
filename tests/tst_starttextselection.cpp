// SPDX-License-Identifier: GPL-3.0-or-later
#include "form1.h"
#include "givenports.h"
#include "recordinglink.h"
#include "windowdriver.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

#include <memory>

// Coming into a list that still shows its start text, whichever way, typing replaces that text;
// a text of the user's own is edited where the cursor lands.
class TestStartTextSelection : public QObject {
    Q_OBJECT
private slots:
    void typing_data();
    void typing();
};

enum class WayIn { Tab, Backtab, Click, PopupClosedWithEscape };

void TestStartTextSelection::typing_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<QString>("before"); // the control with the focus first
    QTest::addColumn<WayIn>("way");
    QTest::addColumn<QString>("chosen"); // empty: the list is at its start text
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("expected");

    QTest::newRow("Tab") << u"tempo"_qs << u"Option1"_qs << WayIn::Tab << QString() << u"120"_qs
                         << u"120"_qs;
    QTest::newRow("Backtab") << u"notes"_qs << u"Command2"_qs << WayIn::Backtab << QString()
                             << u"La3"_qs << u"La3"_qs;
    QTest::newRow("click") << u"duree"_qs << u"Text1"_qs << WayIn::Click << QString() << u"Noire"_qs
                           << u"Noire"_qs;
    QTest::newRow("popup closed with Escape")
        << u"notes"_qs << u"Text1"_qs << WayIn::PopupClosedWithEscape << QString() << u"La3"_qs
        << u"La3"_qs;
    QTest::newRow("click into a chosen note")
        << u"notes"_qs << u"Text1"_qs << WayIn::Click << u"La3"_qs << u"b"_qs << u"La3b"_qs;
}

void TestStartTextSelection::typing()
{
    QFETCH(QString, list);
    QFETCH(QString, before);
    QFETCH(WayIn, way);
    QFETCH(QString, chosen);
    QFETCH(QString, typed);
    QFETCH(QString, expected);

    RecordingLink link;
    Form1 window(link, givenPortsOnly());
    WindowDriver driver(&window);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    driver.click(u"Option1"_qs); // the lists can be used
    if (!chosen.isEmpty())
        driver.type(list, chosen);
    auto *combo = driver.control<QComboBox>(list);
    QLineEdit *edit = combo->lineEdit();
    driver.control<QWidget>(before)->setFocus();
    const QPoint afterTheText(edit->width() - 2, edit->height() / 2);
    switch (way) {
    case WayIn::Tab:
    case WayIn::Backtab:
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab,
                        way == WayIn::Tab ? Qt::NoModifier : Qt::ShiftModifier);
        break;
    case WayIn::Click:
        QTest::mouseClick(edit, Qt::LeftButton, {}, afterTheText);
        break;
    case WayIn::PopupClosedWithEscape:
        QTest::mouseClick(edit, Qt::LeftButton, {}, afterTheText);
        combo->showPopup();
        QTRY_VERIFY(combo->view()->isVisible());
        QTest::keyClick(combo->view(), Qt::Key_Escape);
        QTRY_VERIFY(!combo->view()->isVisible());
        break;
    }
    QTRY_COMPARE(QApplication::focusWidget(), combo);
    QTest::keyClicks(edit, typed);
    QCOMPARE(combo->currentText(), expected);
}

QTEST_MAIN(TestStartTextSelection)
#include "tst_starttextselection.moc"
