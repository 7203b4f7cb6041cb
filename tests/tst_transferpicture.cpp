#include "transferpicture.h"

#include <QImage>
#include <QTest>

#include <algorithm>
#include <cstdlib>

// The menu's icon is drawn from desktop/org.tinkora.Tinkora.svg, the window's is painted in
// code: both must stay the same picture.
class TestTransferPicture : public QObject {
    Q_OBJECT
private slots:
    void themeIconMatchesPaintedPicture_data();
    void themeIconMatchesPaintedPicture();
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

QTEST_MAIN(TestTransferPicture)
#include "tst_transferpicture.moc"
