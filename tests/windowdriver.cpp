// SPDX-License-Identifier: GPL-3.0-or-later
#include "windowdriver.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

void WindowDriver::type(const QString &list, const QString &text)
{
    QLineEdit *edit = control<QComboBox>(list)->lineEdit();
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, text);
    QTest::keyClick(edit, Qt::Key_Return);
}

void WindowDriver::click(const QString &button)
{
    auto *widget = control<QAbstractButton>(button);
    QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center());
}

void WindowDriver::choose(const QString &tempo, const QString &note, const QString &value)
{
    type(QStringLiteral("tempo"), tempo);
    type(QStringLiteral("notes"), note);
    type(QStringLiteral("duree"), value);
}

QString WindowDriver::checkedPort() const
{
    for (const QString &name : {QStringLiteral("Option1"), QStringLiteral("Option2")}) {
        auto *option = control<QRadioButton>(name);
        if (option->isChecked())
            return option->text();
    }
    return {};
}
