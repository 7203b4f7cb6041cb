// SPDX-License-Identifier: GPL-3.0-or-later
#include "transferpicture.h"

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <cstdlib>

// The menu's icon is drawn from desktop/org.tinkora.Tinkora.svg, the window's is painted in
// code: both must stay the same picture.
class TestTransferPicture : public QObject {
    Q_OBJECT
private slots:
    void themeIconMatchesPaintedPicture_data();
    void themeIconMatchesPaintedPicture();
    void legibleOnDarkWindows_data();
    void legibleOnDarkWindows();
};

void TestTransferPicture::themeIconMatchesPaintedPicture_data()
{
    QTest::addColumn<int>("size");
    QTest::newRow("32") << 32; // the button's size
    QTest::newRow("64") << 64; // the largest one painted
}

void TestTransferPicture::themeIconMatchesPaintedPicture()
{
    QFETCH(int, size);
    const QString path =
        u"%1/%2x%2/apps/org.tinkora.Tinkora.png"_qs.arg(QStringLiteral(ICON_DIR)).arg(size);
    QImage drawn(path);
    QVERIFY2(!drawn.isNull(), qPrintable(path + u" (drawn by rsvg-convert at build time)"_qs));
    drawn = drawn.convertToFormat(QImage::Format_ARGB32);
    const QImage painted =
        transferPicture().pixmap(size).toImage().convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(painted.size(), QSize(size, size));

    // The two renderers smooth a few edge pixels differently (6 at most); a part moved by one
    // unit, removed or recoloured changes 18 or more at 64 x 64.
    int differing = 0;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const QRgb a = drawn.pixel(x, y);
            const QRgb b = painted.pixel(x, y);
            const int difference =
                std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                          std::abs(qBlue(a) - qBlue(b)), std::abs(qAlpha(a) - qAlpha(b))});
            if (difference > 80)
                ++differing;
        }
    }
    QVERIFY2(differing <= 12, qPrintable(u"%1 pixels differ"_qs.arg(differing)));
}

// WCAG relative luminance of an sRGB colour.
static double luminance(QRgb colour)
{
    auto linear = [](int channel) {
        const double c = channel / 255.0;
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(qRed(colour)) + 0.7152 * linear(qGreen(colour)) +
           0.0722 * linear(qBlue(colour));
}

void TestTransferPicture::legibleOnDarkWindows_data()
{
    QTest::addColumn<QColor>("window");
    // On light windows the dark outlines carry the shapes; these are the dark ones.
    QTest::newRow("Adwaita-Dark") << QColor(0x35, 0x35, 0x35);
    QTest::newRow("Breeze Dark") << QColor(0x31, 0x36, 0x3b);
}

// The stands and connectors must not melt into a dark window behind the button.
void TestTransferPicture::legibleOnDarkWindows()
{
    QFETCH(QColor, window);
    const QImage picture =
        transferPicture().pixmap(32).toImage().convertToFormat(QImage::Format_ARGB32);
    QImage shown(picture.size(), QImage::Format_ARGB32);
    shown.fill(window);
    QPainter(&shown).drawImage(0, 0, picture);

    const double background = luminance(window.rgb());
    int drawn = 0;
    int faint = 0;
    for (int y = 0; y < shown.height(); ++y) {
        for (int x = 0; x < shown.width(); ++x) {
            if (qAlpha(picture.pixel(x, y)) < 192)
                continue;
            ++drawn;
            const double pixel = luminance(shown.pixel(x, y));
            const double contrast =
                (std::max(pixel, background) + 0.05) / (std::min(pixel, background) + 0.05);
            if (contrast < 1.5)
                ++faint;
        }
    }
    QVERIFY2(faint * 10 <= drawn,
             qPrintable(u"%1 of %2 pixels barely show"_qs.arg(faint).arg(drawn)));
}

QTEST_MAIN(TestTransferPicture)
#include "tst_transferpicture.moc"
