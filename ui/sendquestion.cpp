// SPDX-License-Identifier: GPL-3.0-or-later
#include "sendquestion.h"

#include <QMessageBox>
#include <QPushButton>

bool askToSend(QWidget *parent, const QString &question, const QString &details)
{
    QMessageBox box(QMessageBox::Question, QStringLiteral("Tinkora"), question,
                    QMessageBox::NoButton, parent);
    box.setTextFormat(Qt::PlainText);
    box.setInformativeText(details);
    QPushButton *send = box.addButton(QStringLiteral("Envoyer"), QMessageBox::AcceptRole);
    QPushButton *cancel = box.addButton(QStringLiteral("Annuler"), QMessageBox::RejectRole);
    box.setDefaultButton(send);
    box.setEscapeButton(cancel);
    box.exec();
    return box.clickedButton() == send;
}
