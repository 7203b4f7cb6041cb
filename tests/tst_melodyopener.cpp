// SPDX-License-Identifier: GPL-3.0-or-later
#include "dryrun.h"
#include "form1.h"
#include "givenports.h"
#include "messageboxcloser.h"
#include "module1.h"
#include "notetable.h"
#include "recordinglink.h"
#include "windowdriver.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

const QString kExamples = QStringLiteral(EXAMPLES_DIR);

} // namespace

// A whole melody file into the window, on the recording link: every way in, the checks, the
// question, the paced frames, stopping and a lost port.
class TestMelodyOpener : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void everyWayInSendsTheFrames_data();
    void everyWayInSendsTheFrames();
    void refusedFileWritesNothing_data();
    void refusedFileWritesNothing();
    void noPortFirst();
    void stopAfterThreeNotes_data();
    void stopAfterThreeNotes();
    void portLostMidMelodyStepsBack();
    void lastSlotWarnsOnce();

private:
    // How a file is opened: "ctrl+o", "drop", or a right click on "background" or "Command2".
    void openFile(const QString &way, const QString &path);
    void waitUntilSent();
    // Holds the line once the display shows slot "Note N° shownSlot".
    void holdLineAfter(int shownSlot);

    std::unique_ptr<RecordingLink> m_link;
    std::unique_ptr<Form1> m_window;
    std::unique_ptr<MessageBoxCloser> m_boxes;
    std::unique_ptr<WindowDriver> m_driver;
    QStringList m_fileDialogFolders;
    QStringList m_menuTexts;
    QTimer m_answers; // types the path in the file dialog and picks the menu entry
    QString m_path;
    QPointer<QWidget> m_answered;
};

void TestMelodyOpener::init()
{
    m_boxes = std::make_unique<MessageBoxCloser>();
    m_boxes->answerKey = Qt::Key_Return;
    m_link = std::make_unique<RecordingLink>();
    m_link->drainLater = true; // the sender waits for each frame to leave the line
    m_window = std::make_unique<Form1>(*m_link, givenPortsOnly());
    m_driver = std::make_unique<WindowDriver>(m_window.get());
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    m_fileDialogFolders.clear();
    m_menuTexts.clear();
    // Each answer is given from a timer of its own: what it opens runs inside it, and this one
    // must keep watching.
    m_answers.callOnTimeout(this, [this] {
        QWidget *open = QApplication::activePopupWidget();
        if (!open)
            open = QApplication::activeModalWidget();
        if (!open || open == m_answered)
            return;
        if (auto *menu = qobject_cast<QMenu *>(open)) {
            m_answered = menu;
            for (QAction *action : menu->actions())
                m_menuTexts << action->text() + u'\t' + action->shortcut().toString();
            menu->setActiveAction(menu->actions().value(0));
            QTimer::singleShot(0, menu, [menu] { QTest::keyClick(menu, Qt::Key_Return); });
        } else if (auto *dialog = qobject_cast<QFileDialog *>(open)) {
            m_answered = dialog;
            m_fileDialogFolders << dialog->directory().absolutePath();
            auto *name = dialog->findChild<QLineEdit *>(u"fileNameEdit"_qs);
            name->setText(m_path); // typed whole: no completion popup in the way
            QTimer::singleShot(0, name, [name] { QTest::keyClick(name, Qt::Key_Return); });
        }
    });
    m_answers.start(5);
}

void TestMelodyOpener::cleanup()
{
    m_window.reset();
    m_link.reset();
    m_boxes.reset();
    m_answers.stop();
    m_answers.disconnect();
}

void TestMelodyOpener::openFile(const QString &way, const QString &path)
{
    m_path = path;
    if (way == u"ctrl+o") {
        m_window->activateWindow(); // a shortcut of the active window
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        QTest::keyClick(m_window.get(), Qt::Key_O, Qt::ControlModifier);
    } else if (way == u"drop") {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(path)});
        const QPointF at(5, 5);
        QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::NoButton, {});
        QApplication::sendEvent(m_window.get(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(at, Qt::CopyAction, &data, Qt::NoButton, {});
        QApplication::sendEvent(m_window.get(), &drop);
        QVERIFY(drop.isAccepted());
    } else {
        QWidget *target = way == u"background" ? m_window.get() : m_driver->control<QWidget>(way);
        const QPoint at = way == u"background" ? QPoint(3, 200) : target->rect().center();
        QContextMenuEvent menu(QContextMenuEvent::Mouse, at, target->mapToGlobal(at));
        QApplication::sendEvent(target, &menu);
    }
}

void TestMelodyOpener::waitUntilSent()
{
    QTRY_VERIFY(m_window->findChild<QDialog *>(u"melodyProgress"_qs) != nullptr);
    QTRY_VERIFY_WITH_TIMEOUT(!m_window->findChild<QDialog *>(u"melodyProgress"_qs), 10000);
}

void TestMelodyOpener::holdLineAfter(int shownSlot)
{
    connect(m_driver->control<QLineEdit>(u"Text1"_qs), &QLineEdit::textChanged, this,
            [this, shownSlot](const QString &text) {
                if (text == u"Note N° %1"_qs.arg(shownSlot))
                    m_link->holdLine = true;
            });
}

void TestMelodyOpener::everyWayInSendsTheFrames_data()
{
    QTest::addColumn<QString>("way");
    QTest::addColumn<QString>("file");
    QTest::newRow("Ctrl+O, table") << u"ctrl+o"_qs << u"au-clair-de-la-lune.csv"_qs;
    QTest::newRow("Ctrl+O, RTTTL twin") << u"ctrl+o"_qs << u"au-clair-de-la-lune.rtttl"_qs;
    QTest::newRow("dropped") << u"drop"_qs << u"frere-jacques.csv"_qs;
    QTest::newRow("menu of the background") << u"background"_qs << u"au-clair-de-la-lune.csv"_qs;
    QTest::newRow("menu of Transfert") << u"Command2"_qs << u"frere-jacques.rtttl"_qs;
}

void TestMelodyOpener::everyWayInSendsTheFrames()
{
    QFETCH(QString, way);
    QFETCH(QString, file);
    const QString path = kExamples + u'/' + file;
    const QByteArray expected = dryRunFrames(path);
    QVERIFY(!expected.isEmpty());
    m_driver->click(u"Option1"_qs);

    openFile(way, path);
    waitUntilSent();
    QCOMPARE(m_link->wire.toHex(), expected.toHex());
    const int notes = int(expected.size() / 3);
    QCOMPARE(m_link->writes.size(), notes); // each frame whole, in one write
    QCOMPARE(m_boxes->boxes.size(), 1);
    QCOMPARE(m_boxes->boxes[0].title, u"Tinkora"_qs);
    QCOMPARE(
        m_boxes->boxes[0].text,
        u"Envoyer les %1 notes de « \u2068%2\u2069 » aux emplacements 1 à %1 (@EEPROM: 0 à %3) ?"_qs
            .arg(notes)
            .arg(file)
            .arg(2 * (notes - 1)));
    QCOMPARE(m_driver->control<QLineEdit>(u"Text1"_qs)->text(), u"Note N° %1"_qs.arg(notes));
    QCOMPARE(m_driver->control<QLineEdit>(u"Text2"_qs)->text(),
             u"@EEPROM: %1"_qs.arg(2 * (notes - 1)));
    QCOMPARE(m_driver->control<QComboBox>(u"tempo"_qs)->currentText(), u"Tempo"_qs);
    if (way == u"ctrl+o")
        QCOMPARE(m_fileDialogFolders, QStringList{QDir::currentPath()});
    if (way == u"background" || way == u"Command2")
        QCOMPARE(m_menuTexts, QStringList{u"Ouvrir une mélodie…\tCtrl+O"_qs});

    // The next Ctrl+O starts in the folder just used.
    if (way == u"ctrl+o") {
        m_boxes->answerKey = Qt::Key_Escape; // "Annuler"
        openFile(way, path);
        QCOMPARE(m_fileDialogFolders.value(1), kExamples);
        QCOMPARE(m_link->wire.size(), expected.size());
    }
}

void TestMelodyOpener::refusedFileWritesNothing_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("warning");
    QByteArray twelveWrong;
    for (int i = 0; i < 12; ++i)
        twelveWrong += "120;La9;Noire\n";
    QByteArray thirtyTwo;
    for (int i = 0; i < 32; ++i)
        thirtyTwo += "120;La3;Noire\n";

    QTest::newRow("unknown note")
        << QByteArray("120;La3;Noire\n90;Lo3;Noire\n")
        << u"Fichier « \u2068m.csv\u2069 » refusé (1 problème) : rien n'a été écrit. Corrigez-le, "
           "puis ouvrez-le à nouveau.\nLigne 2, colonne 4 : Note inconnue : « \u2068Lo3\u2069 ». "
           "Choisissez une note dans la liste."_qs;
    QTest::newRow("twelve problems, ten listed") << twelveWrong << u"\n… et 2 autres problèmes"_qs;
    QTest::newRow("more notes than slots")
        << thirtyTwo << u"Ligne 32, colonne 5 : Trop de notes : 32 notes"_qs;
    QTest::newRow("binary") << QByteArray("120;La3\0;Noire\n", 15)
                            << u"« \u2068m.csv\u2069 » : Fichier binaire : octet nul à la ligne "
                               "1, ce n'est pas une mélodie en texte.\nRien n'a été écrit."_qs;
}

void TestMelodyOpener::refusedFileWritesNothing()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, warning);
    QTemporaryDir dir;
    QFile file(dir.filePath(u"m.csv"_qs));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
    file.close();
    m_driver->click(u"Option1"_qs);

    openFile(u"drop"_qs, file.fileName());
    QTRY_COMPARE(m_boxes->boxes.size(), 1);
    QVERIFY2(m_boxes->boxes[0].text.contains(warning), qPrintable(m_boxes->boxes[0].text));
    QVERIFY(m_link->writes.isEmpty());
    QCOMPARE(Module1::transferState.NoteNumber, 1);
    QCOMPARE(m_driver->control<QLineEdit>(u"Text1"_qs)->text(), u"Note N°"_qs);
}

void TestMelodyOpener::noPortFirst()
{
    const QString path = kExamples + u"/au-clair-de-la-lune.csv"_qs;
    for (const QString &way : {u"ctrl+o"_qs, u"drop"_qs, u"background"_qs}) {
        const qsizetype before = m_boxes->boxes.size();
        openFile(way, path);
        QTRY_COMPARE(m_boxes->boxes.size(), before + 1);
    }
    for (const MessageBoxCloser::Box &box : std::as_const(m_boxes->boxes))
        QCOMPARE(box.text, u"Choisissez d'abord COM1 ou COM2, puis ouvrez la mélodie."_qs);
    QVERIFY(m_fileDialogFolders.isEmpty());
    QVERIFY(m_link->writes.isEmpty());
}

void TestMelodyOpener::stopAfterThreeNotes_data()
{
    QTest::addColumn<bool>("escape");
    QTest::newRow("Arrêter") << false;
    QTest::newRow("Escape") << true;
}

void TestMelodyOpener::stopAfterThreeNotes()
{
    QFETCH(bool, escape);
    m_driver->click(u"Option1"_qs);
    holdLineAfter(2); // the third frame is on its way when the user stops
    openFile(u"drop"_qs, kExamples + u"/au-clair-de-la-lune.csv"_qs);
    QTRY_COMPARE(m_link->writes.size(), 3);
    auto *progress = m_window->findChild<QDialog *>(u"melodyProgress"_qs);
    QVERIFY(progress && progress->isVisible());
    QCOMPARE(progress->windowTitle(), u"Envoi de la mélodie"_qs);
    QCOMPARE(m_driver->control<QAbstractButton>(u"stopMelody"_qs)->text(), u"Arrêter"_qs);
    QCOMPARE(progress->findChild<QLabel *>(u"melodyProgressText"_qs)->text(), u"Note 3 sur 22"_qs);
    if (escape)
        QTest::keyClick(progress, Qt::Key_Escape);
    else
        m_driver->control<QAbstractButton>(u"stopMelody"_qs)->click();
    QVERIFY(progress->isVisible()); // until the frame on its way has left
    m_link->holdLine = false;
    m_link->releaseLine();
    QTRY_VERIFY(!m_window->findChild<QDialog *>(u"melodyProgress"_qs));

    QCOMPARE(m_link->writes.size(), 3);
    QCOMPARE(Module1::transferState.NoteNumber, 4);
    QCOMPARE(m_driver->control<QLineEdit>(u"Text1"_qs)->text(), u"Note N° 3"_qs);
}

void TestMelodyOpener::portLostMidMelodyStepsBack()
{
    m_driver->click(u"Option1"_qs);
    holdLineAfter(4);
    openFile(u"drop"_qs, kExamples + u"/au-clair-de-la-lune.csv"_qs);
    QTRY_COMPARE(m_link->writes.size(), 5);
    m_link->losePort();
    QTRY_COMPARE(m_boxes->boxes.size(), 2);
    QVERIFY(!m_window->findChild<QDialog *>(u"melodyProgress"_qs));
    QVERIFY2(m_boxes->boxes[1].text.contains(
                 u"La note 5 n'a pas été envoyée : la prochaine note ira à l'emplacement 5 "
                 "(@EEPROM: 8)."_qs),
             qPrintable(m_boxes->boxes[1].text));
    QCOMPARE(m_link->writes.size(), 5);
    QCOMPARE(Module1::transferState.NoteNumber, 5);
    QCOMPARE(m_driver->control<QLineEdit>(u"Text1"_qs)->text(), u"Note N° 4"_qs);
    QCOMPARE(m_driver->checkedPort(), QString());
}

void TestMelodyOpener::lastSlotWarnsOnce()
{
    m_driver->click(u"Option1"_qs);
    m_driver->choose(u"120"_qs, u"La3"_qs, u"Noire"_qs);
    for (int slot = 1; slot <= 9; ++slot)
        m_driver->click(u"Command2"_qs);
    openFile(u"drop"_qs, kExamples + u"/au-clair-de-la-lune.csv"_qs);
    waitUntilSent();
    QTRY_COMPARE(m_boxes->boxes.size(), 2);
    QVERIFY(m_boxes->boxes[0].text.endsWith(u"aux emplacements 10 à 31 (@EEPROM: 18 à 60) ?"_qs));
    QCOMPARE(m_boxes->boxes[1].text, u"Le nombre maximum de notes (31) est atteint"_qs);
    QCOMPARE(m_link->writes.size(), 9 + 22);
    QCOMPARE(m_driver->control<QLineEdit>(u"Text2"_qs)->text(), u"@EEPROM: 60"_qs);
}

QTEST_MAIN(TestMelodyOpener)
#include "tst_melodyopener.moc"
