// SPDX-License-Identifier: GPL-3.0-or-later
#include "form1.h"
#include "givenports.h"
#include "messageboxcloser.h"
#include "recordinglink.h"
#include "windowdriver.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

#include <memory>

// Coming into a list that still shows its start text, whichever way, typing replaces that text.
class TestStartTextSelection : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void typingReplacesTheStartText_data();
    void typingReplacesTheStartText();
    void aChosenTextIsEditedInPlace();

private:
    RecordingLink m_link;
    std::unique_ptr<Form1> m_window;
    std::unique_ptr<MessageBoxCloser> m_boxes;
    std::unique_ptr<WindowDriver> m_driver;
};

void TestStartTextSelection::init()
{
    m_link.reset();
    m_boxes = std::make_unique<MessageBoxCloser>();
    m_window = std::make_unique<Form1>(m_link, givenPortsOnly());
    m_driver = std::make_unique<WindowDriver>(m_window.get());
    m_window->show();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    m_driver->click(u"Option1"_qs); // the lists can be used
}

void TestStartTextSelection::cleanup()
{
    m_window.reset();
    m_boxes.reset();
}

enum class WayIn { Tab, Backtab, Click, ClickAgain, PopupClosedWithEscape };

void TestStartTextSelection::typingReplacesTheStartText_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<QString>("before"); // the control that has the focus first
    QTest::addColumn<WayIn>("way");
    QTest::addColumn<QString>("typed");

    QTest::newRow("Tab into tempo") << u"tempo"_qs << u"Option1"_qs << WayIn::Tab << u"120"_qs;
    QTest::newRow("Backtab into notes")
        << u"notes"_qs << u"Command2"_qs << WayIn::Backtab << u"La3"_qs;
    QTest::newRow("click into duree") << u"duree"_qs << u"Text1"_qs << WayIn::Click << u"Noire"_qs;
    QTest::newRow("second click, cursor moved")
        << u"notes"_qs << u"Text1"_qs << WayIn::ClickAgain << u"La3"_qs;
    QTest::newRow("popup closed with Escape")
        << u"notes"_qs << u"Text1"_qs << WayIn::PopupClosedWithEscape << u"La3"_qs;
}

void TestStartTextSelection::typingReplacesTheStartText()
{
    QFETCH(QString, list);
    QFETCH(QString, before);
    QFETCH(WayIn, way);
    QFETCH(QString, typed);

    auto *combo = m_driver->control<QComboBox>(list);
    QLineEdit *edit = combo->lineEdit();
    const QString startText = combo->currentText();
    m_driver->control<QWidget>(before)->setFocus();
    const QPoint inText(edit->width() / 4, edit->height() / 2);
    switch (way) {
    case WayIn::Tab:
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        break;
    case WayIn::Backtab:
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ShiftModifier);
        break;
    case WayIn::Click:
        QTest::mouseClick(edit, Qt::LeftButton, {}, inText);
        break;
    case WayIn::ClickAgain:
        QTest::mouseClick(edit, Qt::LeftButton, {}, inText);
        QTest::keyClick(edit, Qt::Key_End);
        QTest::mouseClick(edit, Qt::LeftButton, {}, inText);
        break;
    case WayIn::PopupClosedWithEscape:
        QTest::mouseClick(edit, Qt::LeftButton, {}, inText);
        combo->showPopup();
        QTRY_VERIFY(combo->view()->isVisible());
        QTest::keyClick(combo->view(), Qt::Key_Escape);
        QTRY_VERIFY(!combo->view()->isVisible());
        break;
    }
    QTRY_COMPARE(QApplication::focusWidget(), combo);
    QCOMPARE(combo->currentText(), startText); // selected, not changed
    QTest::keyClicks(edit, typed);
    QCOMPARE(combo->currentText(), typed);
}

// Once the text is the user's own, a click puts the cursor where it lands, as anywhere else.
void TestStartTextSelection::aChosenTextIsEditedInPlace()
{
    m_driver->type(u"notes"_qs, u"La3"_qs);
    QLineEdit *edit = m_driver->control<QComboBox>(u"notes"_qs)->lineEdit();
    m_driver->control<QWidget>(u"Text1"_qs)->setFocus();
    QTest::mouseClick(edit, Qt::LeftButton, {}, QPoint(edit->width() - 2, edit->height() / 2));
    QVERIFY(!edit->hasSelectedText());
    QTest::keyClicks(edit, u"b"_qs);
    QCOMPARE(edit->text(), u"La3b"_qs);
}

QTEST_MAIN(TestStartTextSelection)
#include "tst_starttextselection.moc"
