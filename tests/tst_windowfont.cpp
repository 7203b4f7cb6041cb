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

    // Adwaita comes with adwaita-qt6; Cantarell is GNOME's font on Debian, DejaVu Sans Qt's own.
    for (const QString &style : {u"Fusion"_qs, u"Adwaita"_qs, u"Adwaita-Dark"_qs}) {
        for (const QString &family : {u"DejaVu Sans"_qs, u"Cantarell"_qs})
            QTest::addRow("%s, %s", qPrintable(style), qPrintable(family)) << style << family;
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
    if (!QStyleFactory::keys().contains(style, Qt::CaseInsensitive))
        QSKIP("style not installed");
    if (!QFontDatabase::families().contains(family))
        QSKIP("font not installed");
    QApplication::setStyle(style);
    QApplication::setFont(QFont(family, 11)); // as a desktop sets it
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
    // Legible, not merely squeezed in.
    QVERIFY2(QFontInfo(m_window->font()).pixelSize() >= 9, qPrintable(m_window->font().toString()));
}

QTEST_MAIN(TestWindowFont)
#include "tst_windowfont.moc"
