// SPDX-License-Identifier: GPL-3.0-or-later
#include "portmessages.h"

#include <QRegularExpression>
#include <QTest>

Q_DECLARE_METATYPE(OpenResult)
Q_DECLARE_METATYPE(SystemError)

// What the user reads when a port will not open: French, whatever the desktop's language, with
// the device shown as it was typed and advice that fits the case.
class TestPortMessages : public QObject {
    Q_OBJECT
private slots:
    void openFailures_data();
    void openFailures();
    void systemErrorsInFrench_data();
    void systemErrorsInFrench();
    void qtsWordsForAWriteInFrench();
};

static OpenResult failure(OpenFailure kind, const QString &device = u"/dev/ttyS0"_qs)
{
    OpenResult result;
    result.failure = kind;
    result.device = device;
    return result;
}

void TestPortMessages::openFailures_data()
{
    QTest::addColumn<OpenResult>("result");
    QTest::addColumn<QStringList>("says");
    QTest::addColumn<QStringList>("neverSays");

    QTest::newRow("not a serial port")
        << failure(OpenFailure::NotATerminal, u"/run/socket"_qs)
        << QStringList{u"(/run/socket) : ce n'est pas un port série."_qs, u"--com1"_qs}
        << QStringList{u"n'existe pas"_qs};
    // EIO at open: a /dev/ttyS* with no UART behind it, as on most recent PCs.
    QTest::newRow("no UART") << failure(OpenFailure::NoUart)
                             << QStringList{u"UART"_qs, u"adaptateur USB-série"_qs,
                                            u"/dev/ttyUSB0"_qs, u"--com1"_qs}
                             << QStringList{u"n'existe pas"_qs};

    OpenResult dialout = failure(OpenFailure::PermissionDenied);
    dialout.deviceOwner = u"root"_qs;
    dialout.deviceGroup = u"dialout"_qs;
    dialout.deviceAccess = u"crw-rw----"_qs;
    QTest::newRow("refused, dialout device")
        << dialout << QStringList{u"accès refusé"_qs, u"sudo adduser $USER dialout"_qs}
        << QStringList{};
    OpenResult other = dialout;
    other.deviceGroup = u"tty"_qs;
    other.deviceAccess = u"crw--w----"_qs;
    QTest::newRow("refused, device of another group")
        << other << QStringList{u"root"_qs, u"groupe tty"_qs, u"crw--w----"_qs}
        << QStringList{u"dialout"_qs};

    // Shown as the user would type it, never as "�" and never turning the sentence around.
    QTest::newRow("invisible characters in the path")
        << failure(OpenFailure::Missing, u"/dev/tty\u202eUSB0\n"_qs)
        << QStringList{u"(/dev/tty\\xe2\\x80\\xaeUSB0\\x0a)"_qs} << QStringList{u"\u202e"_qs};
}

void TestPortMessages::openFailures()
{
    QFETCH(OpenResult, result);
    QFETCH(QStringList, says);
    QFETCH(QStringList, neverSays);

    const QString text = openFailureText(1, result, 0);
    QVERIFY2(text.startsWith(u"Impossible d'ouvrir COM1 ("_qs), qPrintable(text));
    for (const QString &part : says)
        QVERIFY2(text.contains(part), qPrintable(part + u" not in: "_qs + text));
    for (const QString &part : neverSays)
        QVERIFY2(!text.contains(part), qPrintable(part + u" in: "_qs + text));
}

void TestPortMessages::systemErrorsInFrench_data()
{
    QTest::addColumn<SystemError>("error");
    QTest::addColumn<QString>("english"); // what strerror says under an English locale
    QTest::addColumn<QString>("french");

    QTest::newRow("EISDIR") << SystemError::IsADirectory << u"Is a directory"_qs
                            << u"c'est un dossier"_qs;
    QTest::newRow("ELOOP") << SystemError::TooManyLinks << u"Too many levels of symbolic links"_qs
                           << u"trop de niveaux de liens symboliques"_qs;
    QTest::newRow("ENAMETOOLONG") << SystemError::NameTooLong << u"File name too long"_qs
                                  << u"nom de fichier trop long"_qs;
    QTest::newRow("EIO") << SystemError::InputOutput << u"Input/output error"_qs
                         << u"erreur d'entrée-sortie"_qs;
    QTest::newRow("ENOTDIR") << SystemError::NotADirectory << u"Not a directory"_qs
                             << u"un élément du chemin n'est pas un dossier"_qs;
    QTest::newRow("EROFS") << SystemError::ReadOnlyFileSystem << u"Read-only file system"_qs
                           << u"système de fichiers en lecture seule"_qs;
}

void TestPortMessages::systemErrorsInFrench()
{
    QFETCH(SystemError, error);
    QFETCH(QString, english);
    QFETCH(QString, french);

    OpenResult result = failure(OpenFailure::Other);
    result.systemError = error;
    result.detail = english;
    const QString text = openFailureText(2, result, 1);
    QVERIFY2(
        text.startsWith(
            u"Impossible d'ouvrir COM2 (/dev/ttyS0) : %1. COM1 reste utilisé.\n"_qs.arg(french)),
        qPrintable(text));
    QVERIFY2(!text.contains(english), qPrintable(text));
}

// A failed write says the system's answer in French, whatever words Qt had for it.
void TestPortMessages::qtsWordsForAWriteInFrench()
{
    WriteResult write;
    write.failure = WriteFailure::System;
    write.portNumber = 1;
    write.device = u"/dev/ttyUSB0"_qs;
    write.systemError = SystemError::InputOutput;
    write.detail = u"Input/output error"_qs;
    QVERIFY2(writeFailureText(write).contains(u"(/dev/ttyUSB0) : erreur d'entrée-sortie."_qs),
             qPrintable(writeFailureText(write)));

    PortLoss loss;
    loss.cause = PortLoss::Cause::WriteError;
    loss.systemError = SystemError::NoSuchDeviceOrAddress;
    loss.detail = u"No such device or address"_qs;
    const QString lost = portLostText(2, u"/dev/ttyACM0"_qs, loss);
    QVERIFY2(lost.contains(u"échec de l'écriture : périphérique ou adresse introuvable"_qs),
             qPrintable(lost));

    write.systemError = SystemError::Other; // an answer with no French text keeps its words
    write.detail = u"Unknown error"_qs;
    QVERIFY(writeFailureText(write).contains(u"Unknown error"_qs));
}

QTEST_GUILESS_MAIN(TestPortMessages)
#include "tst_portmessages.moc"
