// SPDX-License-Identifier: GPL-3.0-or-later
#include "form1.h"
#include "givenports.h"
#include "recordinglink.h"
#include "windowdriver.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QHash>
#include <QImage>
#include <QLineEdit>
#include <QStyleFactory>
#include <QStyleOptionComboBox>
#include <QTest>

#include <functional>
#include <memory>

// What the desktop styles draw, read from the pixels: every text readable against what is
// behind it (4.5:1, focused or not, selected or not), and each list drawn as a list.
class TestWindowContrast : public QObject {
    Q_OBJECT
private slots:
    void cleanup();
    void textsContrast_data();
    void textsContrast();
    void listsShowFrameAndArrow_data();
    void listsShowFrameAndArrow();

private:
    void createWindow(const QString &style);

    RecordingLink m_link;
    std::unique_ptr<Form1> m_window;
    std::unique_ptr<WindowDriver> m_driver;
};

namespace {

const QStringList kStyles{u"Fusion"_qs, u"Adwaita"_qs, u"Adwaita-Dark"_qs};

double luminance(QRgb rgb)
{
    auto channel = [](int value) {
        const double c = value / 255.0;
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(qRed(rgb)) + 0.7152 * channel(qGreen(rgb)) +
           0.0722 * channel(qBlue(rgb));
}

double contrast(QRgb a, QRgb b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QRgb dominantColour(const QImage &image, const QRect &area)
{
    QHash<QRgb, int> counts;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x)
            ++counts[image.pixel(x, y) | 0xff000000];
    }
    QRgb best = 0;
    int most = -1;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        if (it.value() > most) {
            best = it.key();
            most = it.value();
        }
    }
    return best;
}

// The text's pixels are those that change when it is drawn as spaces; what is behind it is the
// colour most of its box shows; its colour, the one of those pixels that stands out most.
struct Measured {
    double contrast = 0;
    QRgb text = 0;
    QRgb behind = 0;
};

Measured measureText(QWidget *control, const QString &text,
                     const std::function<void(const QString &)> &setText)
{
    const QImage drawn = control->grab().toImage();
    setText(QString(text.size(), u' '));
    const QImage blank = control->grab().toImage();
    setText(text);
    QRect box;
    QList<QPoint> changed;
    for (int y = 0; y < drawn.height(); ++y) {
        for (int x = 0; x < drawn.width(); ++x) {
            if (drawn.pixel(x, y) != blank.pixel(x, y)) {
                changed << QPoint(x, y);
                box |= QRect(x, y, 1, 1);
            }
        }
    }
    Measured measured;
    if (changed.isEmpty())
        return measured; // nothing of the text shows
    measured.behind = dominantColour(drawn, box);
    for (const QPoint &p : std::as_const(changed)) {
        const double c = contrast(drawn.pixel(p), measured.behind);
        if (c > measured.contrast) {
            measured.contrast = c;
            measured.text = drawn.pixel(p);
        }
    }
    return measured;
}

} // namespace

void TestWindowContrast::cleanup()
{
    m_window.reset();
}

void TestWindowContrast::createWindow(const QString &style)
{
    if (!QStyleFactory::keys().contains(style, Qt::CaseInsensitive))
        QSKIP("style not installed");
    QApplication::setStyle(style);
    m_link.reset();
    m_window = std::make_unique<Form1>(m_link, givenPortsOnly());
    m_driver = std::make_unique<WindowDriver>(m_window.get());
    m_window->show();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    m_driver->click(u"Option1"_qs); // everything enabled, as when a melody is made
}

void TestWindowContrast::textsContrast_data()
{
    QTest::addColumn<QString>("style");
    QTest::addColumn<QString>("control");
    QTest::addColumn<bool>("focused");

    for (const QString &style : kStyles) {
        for (const QString &control : {u"Text1"_qs, u"Option1"_qs, u"Option2"_qs, u"tempo"_qs,
                                       u"duree"_qs, u"notes"_qs, u"Command2"_qs, u"Text2"_qs}) {
            for (const bool focused : {false, true}) {
                QTest::addRow("%s, %s, %s", qPrintable(style), qPrintable(control),
                              focused ? "focused" : "not focused")
                    << style << control << focused;
            }
        }
    }
}

void TestWindowContrast::textsContrast()
{
    QFETCH(QString, style);
    QFETCH(QString, control);
    QFETCH(bool, focused);
    createWindow(style);

    auto *widget = m_driver->control<QWidget>(control);
    // Tab brings the focus frame and, into a list at its start text, the selection.
    QWidget *elsewhere =
        m_driver->control<QWidget>(control == u"Text2" ? u"Text1"_qs : u"Text2"_qs);
    (focused ? widget : elsewhere)->setFocus(Qt::TabFocusReason);
    QTRY_COMPARE(widget->hasFocus(), focused);

    Measured measured;
    if (auto *list = qobject_cast<QComboBox *>(widget)) {
        measured = measureText(list, list->currentText(),
                               [list](const QString &t) { list->lineEdit()->setText(t); });
    } else if (auto *field = qobject_cast<QLineEdit *>(widget)) {
        measured =
            measureText(field, field->text(), [field](const QString &t) { field->setText(t); });
    } else {
        auto *button = qobject_cast<QAbstractButton *>(widget);
        measured =
            measureText(button, button->text(), [button](const QString &t) { button->setText(t); });
    }
    QVERIFY2(measured.contrast >= 4.5,
             qPrintable(u"%1:1, text %2 on %3"_qs.arg(measured.contrast, 0, 'f', 2)
                            .arg(QColor(measured.text).name(), QColor(measured.behind).name())));
}

void TestWindowContrast::listsShowFrameAndArrow_data()
{
    QTest::addColumn<QString>("style");
    QTest::addColumn<QString>("list");
    for (const QString &style : kStyles) {
        for (const QString &list : {u"tempo"_qs, u"duree"_qs, u"notes"_qs})
            QTest::addRow("%s, %s", qPrintable(style), qPrintable(list)) << style << list;
    }
}

// A list that looks like a plain field hides that it has entries to choose from.
void TestWindowContrast::listsShowFrameAndArrow()
{
    QFETCH(QString, style);
    QFETCH(QString, list);
    createWindow(style);
    auto *combo = m_driver->control<QComboBox>(list);

    const QImage window = m_window->grab().toImage();
    const QRect at = combo->geometry();
    const QRgb around = window.pixel(at.left() - 2, at.center().y());
    // The frame: the list's edge stands out from the window around it, on every side.
    const QPoint edges[] = {{at.left(), at.center().y()},
                            {at.right(), at.center().y()},
                            {at.center().x(), at.top()},
                            {at.center().x(), at.bottom()}};
    for (const QPoint &edge : edges) {
        double strongest = 0;
        for (int inset = 0; inset < 3; ++inset) {
            const QPoint p = edge + (at.center() - edge) * inset /
                                        std::max(1, (at.center() - edge).manhattanLength());
            strongest = std::max(strongest, contrast(window.pixel(p), around));
        }
        QVERIFY2(strongest >= 1.3,
                 qPrintable(u"no frame at %1, %2: %3:1"_qs.arg(edge.x()).arg(edge.y()).arg(
                     strongest, 0, 'f', 2)));
    }
    // The arrow: marks inside the arrow's part that stand out from its background.
    QStyleOptionComboBox option;
    option.initFrom(combo);
    option.editable = true;
    option.subControls = QStyle::SC_All;
    const QRect arrow =
        combo->style()
            ->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxArrow, combo)
            .translated(at.topLeft());
    const QRgb behind = dominantColour(window, arrow);
    double strongest = 0;
    for (int y = arrow.top(); y <= arrow.bottom(); ++y) {
        for (int x = arrow.left(); x <= arrow.right(); ++x)
            strongest = std::max(strongest, contrast(window.pixel(x, y), behind));
    }
    QVERIFY2(strongest >= 3,
             qPrintable(u"no arrow in %1: %2:1"_qs.arg(arrow.x()).arg(strongest, 0, 'f', 2)));
}

QTEST_MAIN(TestWindowContrast)
#include "tst_windowcontrast.moc"
