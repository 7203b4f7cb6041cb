// SPDX-License-Identifier: GPL-3.0-or-later
#include "form1.h"
#include "givenports.h"
#include "recordinglink.h"
#include "textcontrast.h"
#include "windowdriver.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QStyleFactory>
#include <QStyleOptionComboBox>
#include <QTest>

#include <memory>

// Read from the pixels the desktop styles draw: every text 4.5:1 against what is behind it,
// focused or not, and each list drawn as a list, with a frame and an arrow.
class TestWindowContrast : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { m_window.reset(); }
    void textsContrast_data();
    void textsContrast();
    void listsShowFrameAndArrow_data();
    void listsShowFrameAndArrow();

private:
    void createWindow(const QString &style);

    RecordingLink m_link;
    std::unique_ptr<Form1> m_window;
};

static QRgb mostCommon(const QImage &image, const QRect &area)
{
    QHash<QRgb, int> counts;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x)
            ++counts[image.pixel(x, y)];
    }
    return std::max_element(counts.cbegin(), counts.cend()).key();
}

// The strongest contrast inside area against the colour most of it shows.
static double strongestIn(const QImage &image, const QRect &area, const QList<QPoint> &only = {})
{
    const QColor behind = mostCommon(image, area);
    double strongest = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (only.isEmpty() || only.contains(QPoint(x, y)))
                strongest = std::max(strongest, contrastRatio(image.pixel(x, y), behind));
        }
    }
    return strongest;
}

void TestWindowContrast::createWindow(const QString &style)
{
    if (!QStyleFactory::keys().contains(style, Qt::CaseInsensitive))
        QSKIP("style not installed");
    QApplication::setStyle(style);
    m_link.reset();
    m_window = std::make_unique<Form1>(m_link, givenPortsOnly());
    m_window->show();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    WindowDriver(m_window.get()).click(u"Option1"_qs); // everything enabled
}

void TestWindowContrast::textsContrast_data()
{
    QTest::addColumn<QString>("style");
    QTest::addColumn<QString>("control");
    QTest::addColumn<bool>("focused");
    for (const QString &style : {u"Fusion"_qs, u"Adwaita"_qs, u"Adwaita-Dark"_qs}) {
        for (const QString &control : {u"Text1"_qs, u"Option1"_qs, u"Option2"_qs, u"tempo"_qs,
                                       u"duree"_qs, u"notes"_qs, u"Command2"_qs, u"Text2"_qs}) {
            for (const bool focused : {false, true})
                QTest::addRow("%s, %s%s", qPrintable(style), qPrintable(control),
                              focused ? ", focused" : "")
                    << style << control << focused;
        }
    }
}

// The text's pixels are those that change when it is drawn as spaces; Tab brings the focus
// frame and, into a field or a list at its start text, the selection.
void TestWindowContrast::textsContrast()
{
    QFETCH(QString, style);
    QFETCH(QString, control);
    QFETCH(bool, focused);
    createWindow(style);
    auto *widget = m_window->findChild<QWidget *>(control);
    auto *other = m_window->findChild<QWidget *>(control == u"Text2" ? u"Text1"_qs : u"Text2"_qs);
    (focused ? widget : other)->setFocus(Qt::TabFocusReason);
    QTRY_COMPARE(widget->hasFocus(), focused);

    auto *list = qobject_cast<QComboBox *>(widget);
    auto *field = list ? list->lineEdit() : qobject_cast<QLineEdit *>(widget);
    auto *button = qobject_cast<QAbstractButton *>(widget);
    const QString text = field ? field->text() : button->text();
    const QImage drawn = widget->grab().toImage();
    field ? field->setText(QString(text.size(), u' '))
          : button->setText(QString(text.size(), u' '));
    const QImage blank = widget->grab().toImage();

    QList<QPoint> changed;
    QRect box;
    for (int y = 0; y < drawn.height(); ++y) {
        for (int x = 0; x < drawn.width(); ++x) {
            if (drawn.pixel(x, y) != blank.pixel(x, y)) {
                changed << QPoint(x, y);
                box |= QRect(x, y, 1, 1);
            }
        }
    }
    QVERIFY(!changed.isEmpty());
    const double contrast = strongestIn(drawn, box, changed);
    QVERIFY2(contrast >= 4.5, qPrintable(u"%1:1"_qs.arg(contrast, 0, 'f', 2)));
}

void TestWindowContrast::listsShowFrameAndArrow_data()
{
    QTest::addColumn<QString>("style");
    for (const QString &style : {u"Fusion"_qs, u"Adwaita"_qs, u"Adwaita-Dark"_qs})
        QTest::newRow(qPrintable(style)) << style;
}

// Adwaita leaves both out on a box this low: the list then looks like a plain field.
void TestWindowContrast::listsShowFrameAndArrow()
{
    QFETCH(QString, style);
    createWindow(style);
    const QImage window = m_window->grab().toImage();
    for (const QString &name : {u"tempo"_qs, u"duree"_qs, u"notes"_qs}) {
        auto *list = m_window->findChild<QComboBox *>(name);
        const QRect at = list->geometry();
        // Each side stands out from the window around the list.
        const QColor around = window.pixel(at.left() - 2, at.center().y());
        for (const QPoint &edge : {QPoint(at.left(), at.center().y()),
                                   {at.right(), at.center().y()},
                                   {at.center().x(), at.top()},
                                   {at.center().x(), at.bottom()}})
            QVERIFY2(contrastRatio(window.pixel(edge), around) >= 1.3, qPrintable(name));
        QStyleOptionComboBox option;
        option.initFrom(list);
        option.editable = option.frame = true;
        option.subControls = QStyle::SC_All;
        const QRect arrow = list->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                          QStyle::SC_ComboBoxArrow, list);
        QVERIFY2(strongestIn(window, arrow.translated(at.topLeft())) >= 3, qPrintable(name));
    }
}

QTEST_MAIN(TestWindowContrast)
#include "tst_windowcontrast.moc"
