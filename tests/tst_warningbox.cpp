// SPDX-License-Identifier: GPL-3.0-or-later
#include "messageboxcloser.h"
#include "warningbox.h"

#include <QTest>
#include <QWidget>

// The warning box: how it looks, and option names kept whole when its text wraps.
class TestWarningBox : public QObject {
    Q_OBJECT
private slots:
    void optionsKeptWhole_data();
    void optionsKeptWhole();
    void boxShowsTheTextAsGiven();
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

void TestWarningBox::boxShowsTheTextAsGiven()
{
    QWidget window;
    window.setWindowIcon(QIcon(QPixmap(16, 16)));
    window.show();
    MessageBoxCloser boxes;
    // Markup stays text: typed text and device names are never read as rich text.
    const QString text = u"<b>COM1</b> : lancez tinkora --com1 PÉRIPHÉRIQUE"_qs;
    showWarningBox(&window, text);

    QCOMPARE(boxes.boxes.size(), 1);
    const MessageBoxCloser::Box &box = boxes.boxes.first();
    QCOMPARE(box.title, u"Tinkora"_qs);
    QCOMPARE(box.icon, QMessageBox::Warning);
    QCOMPARE(box.buttons, 1);
    QCOMPARE(box.text, text);
    QCOMPARE(box.shownText, ::optionsKeptWhole(text));
}

QTEST_MAIN(TestWarningBox)
#include "tst_warningbox.moc"
