// SPDX-License-Identifier: GPL-3.0-or-later
#include "messageboxcloser.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QTest>

MessageBoxCloser::MessageBoxCloser()
{
    connect(&m_timer, &QTimer::timeout, this, &MessageBoxCloser::closeOpenBox);
    m_timer.start(5);
}

QStringList MessageBoxCloser::texts() const
{
    QStringList result;
    for (const Box &box : boxes)
        result << box.text;
    return result;
}

void MessageBoxCloser::closeOpenBox()
{
    if (closeOpenSheet())
        return;
    auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
    if (!box || !box->isVisible())
        return;
    boxes.append({box->windowTitle(), QString(box->text()).remove(QChar(0x2060)), box->icon(),
                  int(box->buttons().size()), box->windowIcon(), box->text()});
    if (QAbstractButton *ok = box->button(QMessageBox::Ok))
        ok->click();
    else
        QTest::keyClick(box, answerKey);
}

// The topmost sheet of any window, read from its labels, closed with its one button.
bool MessageBoxCloser::closeOpenSheet()
{
    for (QWidget *window : QApplication::topLevelWidgets()) {
        QList<QWidget *> sheets = window->findChildren<QWidget *>(u"warningSheet"_qs);
        sheets.removeIf([](const QWidget *sheet) { return !sheet->isVisible(); });
        if (sheets.isEmpty())
            continue;
        QWidget *sheet = sheets.last();
        const QString text = sheet->findChild<QLabel *>(u"warningText"_qs)->text();
        const QLabel *icon = sheet->findChild<QLabel *>(u"warningIcon"_qs);
        const QList<QAbstractButton *> buttons = sheet->findChildren<QAbstractButton *>();
        boxes.append({sheet->findChild<QLabel *>(u"warningHeading"_qs)->text(),
                      QString(text).remove(QChar(0x2060)),
                      icon->pixmap().isNull() ? QMessageBox::NoIcon : QMessageBox::Warning,
                      int(buttons.size()), sheet->windowIcon(), text});
        buttons.first()->click();
        return true;
    }
    return false;
}
