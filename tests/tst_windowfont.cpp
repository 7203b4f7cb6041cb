// SPDX-License-Identifier: GPL-3.0-or-later
#include "displaytexts.h"
#include "form1.h"
#include "givenports.h"
#include "recordinglink.h"

#include <QApplication>
#include <QComboBox>
#include <QFontDatabase>
#include <QLineEdit>
#include <QRadioButton>
#include <QStyle>
#include <QStyleFactory>
#include <QTest>
#include <QToolButton>

#include <memory>

// Every text the window shows must be readable in full in its fixed box, with the desktop's
// font and style. A field whose text is wider than its box scrolls it: with the cursor at the
// end, the start is cut off ("ble Croche pointée", "ote N° 1"). Run also with a scale factor.
class TestWindowFont : public QObject {
    Q_OBJECT
private slots:
    void everyTextFits_data();
    void everyTextFits();
    void windowScalesWithTheDesktopFont_data();
    void windowScalesWithTheDesktopFont();
    void cleanup();

private:
    RecordingLink m_link;
    std::unique_ptr<Form1> m_window;
};

void TestWindowFont::cleanup()
{
    m_window.reset();
}

void TestWindowFont::everyTextFits_data()
{
    QTest::addColumn<QString>("style");
    QTest::addColumn<QString>("family");
    QTest::addColumn<int>("points");

    // Adwaita comes with adwaita-qt6; Cantarell is GNOME's font on Debian, DejaVu Sans Qt's own.
    for (const QString &style : {u"Fusion"_qs, u"Adwaita"_qs, u"Adwaita-Dark"_qs}) {
        for (const QString &family : {u"DejaVu Sans"_qs, u"Cantarell"_qs}) {
            for (const int points : {11, 16}) // as desktops set it, and a large one
                QTest::addRow("%s, %s %d pt", qPrintable(style), qPrintable(family), points)
                    << style << family << points;
        }
    }
}

// Where the cursor is drawn once the field has painted itself with it at position.
static int cursorX(QLineEdit *field, int position)
{
    field->setCursorPosition(position);
    field->grab(); // the field works out how far it scrolls when it paints
    return field->inputMethodQuery(Qt::ImCursorRectangle).toRect().x();
}

static QString shownWhole(QLineEdit *field, const QString &text)
{
    field->setText(text);
    const int start = cursorX(field, 0);
    const int end = cursorX(field, int(text.size()));
    const int width = field->fontMetrics().horizontalAdvance(text);
    // Scrolled, the end sits short of start + width, and the cursor may leave the box.
    if (qAbs(end - start - width) > 1 || end >= field->width())
        return u"« %1 » cut: %2 px wide, cursor from %3 to %4 in %5 px"_qs.arg(text)
            .arg(width)
            .arg(start)
            .arg(end)
            .arg(field->width());
    return {};
}

void TestWindowFont::everyTextFits()
{
    QFETCH(QString, style);
    QFETCH(QString, family);
    QFETCH(int, points);
    if (!QStyleFactory::keys().contains(style, Qt::CaseInsensitive))
        QSKIP("style not installed");
    if (!QFontDatabase::families().contains(family))
        QSKIP("font not installed");
    QApplication::setStyle(style);
    QApplication::setFont(QFont(family, points));
    m_window = std::make_unique<Form1>(m_link, givenPortsOnly());
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));

    for (const QString &name : {u"tempo"_qs, u"duree"_qs, u"notes"_qs}) {
        auto *list = m_window->findChild<QComboBox *>(name);
        list->setEnabled(true);
        QStringList texts{list->currentText()};
        for (int i = 0; i < list->count(); ++i)
            texts << list->itemText(i);
        for (const QString &text : texts) {
            const QString problem = shownWhole(list->lineEdit(), text);
            QVERIFY2(problem.isEmpty(), qPrintable(name + u": "_qs + problem));
        }
    }
    auto *text1 = m_window->findChild<QLineEdit *>(u"Text1"_qs);
    auto *text2 = m_window->findChild<QLineEdit *>(u"Text2"_qs);
    for (const auto &[field, text] : {std::pair{text1, text1->text()},
                                      {text2, text2->text()},
                                      {text1, noteNumberText(1)},
                                      {text1, noteNumberText(31)},
                                      {text2, deviceAddressText(0)},
                                      {text2, deviceAddressText(60)},
                                      {text2, deviceAddressText(58)}}) {
        const QString problem = shownWhole(field, text);
        QVERIFY2(problem.isEmpty(), qPrintable(field->objectName() + u": "_qs + problem));
    }
    for (const QString &name : {u"Option1"_qs, u"Option2"_qs, u"Command2"_qs}) {
        auto *button = m_window->findChild<QAbstractButton *>(name);
        QVERIFY2(button->sizeHint().width() <= button->width(),
                 qPrintable(u"%1 needs %2 px, has %3"_qs.arg(name)
                                .arg(button->sizeHint().width())
                                .arg(button->width())));
    }
    // Legible, not merely squeezed in, and larger with a larger desktop font.
    const int smallest = points > 11 ? 9 * points / 11 : 9;
    QVERIFY2(QFontInfo(m_window->font()).pixelSize() >= smallest,
             qPrintable(m_window->font().toString()));
}

void TestWindowFont::windowScalesWithTheDesktopFont_data()
{
    QTest::addColumn<QFont>("desktopFont");
    QTest::addColumn<QSize>("clientArea");

    const QSize drawn(357, 261); // the layout's twips / 15
    QTest::newRow("KDE's 10 pt") << QFont(u"DejaVu Sans"_qs, 10) << drawn;
    QTest::newRow("GNOME's 11 pt") << QFont(u"DejaVu Sans"_qs, 11) << drawn;
    QFont pixels(u"DejaVu Sans"_qs);
    pixels.setPixelSize(14); // 10.5 pt at 96 DPI
    QTest::newRow("14 px") << pixels << drawn;
    // 16 / 11 and 22 / 11 of the layout.
    QTest::newRow("16 pt") << QFont(u"DejaVu Sans"_qs, 16) << QSize(519, 380);
    QTest::newRow("22 pt") << QFont(u"DejaVu Sans"_qs, 22) << QSize(714, 522);
}

// A larger desktop font draws the whole layout larger, as a larger DPI would.
void TestWindowFont::windowScalesWithTheDesktopFont()
{
    QFETCH(QFont, desktopFont);
    QFETCH(QSize, clientArea);
    QApplication::setStyle(u"Fusion"_qs);
    QApplication::setFont(desktopFont);
    m_window = std::make_unique<Form1>(m_link, givenPortsOnly());
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));

    QCOMPARE(m_window->size(), clientArea);
    const double scale = clientArea.width() / 357.0;
    auto near = [scale](int drawn, int shown) {
        return qAbs(drawn * scale - shown) <= 1;
    };
    const QList<std::pair<QString, QRect>> controls{{u"Option2"_qs, {96, 0, 73, 33}},
                                                    {u"duree"_qs, {176, 120, 137, 21}},
                                                    {u"Command2"_qs, {48, 168, 97, 73}}};
    for (const auto &[name, drawn] : controls) {
        const QRect shown = m_window->findChild<QWidget *>(name)->geometry();
        QVERIFY2(near(drawn.left(), shown.left()) && near(drawn.top(), shown.top()) &&
                     near(drawn.width(), shown.width()) && near(drawn.height(), shown.height()),
                 qPrintable(name));
    }
    const auto *transfert = m_window->findChild<QToolButton *>(u"Command2"_qs);
    QVERIFY(near(32, transfert->iconSize().width()));
}

QTEST_MAIN(TestWindowFont)
#include "tst_windowfont.moc"
