// SPDX-License-Identifier: GPL-3.0-or-later
#include "choicelist.h"

#include "listlookstyle.h"
#include "listviewchoice.h"
#include "starttextselection.h"

#include <QComboBox>

QComboBox *makeList(const QString &name, ChoiceList choice, QWidget *parent)
{
    auto *list = new QComboBox(parent);
    list->setObjectName(name);
    list->setEditable(true);
    list->setCompleter(nullptr); // it would turn "do2" into "Do2" behind the user's back
    list->setInsertPolicy(QComboBox::NoInsert);
    list->setEnabled(false);
    new StartTextSelection(list, placeholderText(choice).toString());
    new ListViewChoice(list);
    useListLook(list);
    return list;
}
