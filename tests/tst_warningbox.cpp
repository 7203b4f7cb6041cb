// SPDX-License-Identifier: GPL-3.0-or-later
#include "messageboxcloser.h"
#include "warningbox.h"

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <QWindow>

// The warning box: how it looks, and option names kept whole when its text wraps.
class TestWarningBox : public QObject {
    Q_OBJECT
private slots:
    void optionsKeptWhole_data();
    void optionsKeptWhole();
    void boxShowsTheTextAsGiven();
    void boxIsADialogOfItsWindow();
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

// Under Wayland the compositor places a box and draws its buttons from these facts alone.
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

QTEST_MAIN(TestWarningBox)
#include "tst_warningbox.moc"
