// SPDX-License-Identifier: GPL-3.0-or-later
#include "messageboxcloser.h"

#include <QAbstractButton>
#include <QApplication>
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
