// SPDX-License-Identifier: GPL-3.0-or-later
#include "starttextselection.h"

#include <QComboBox>
#include <QEvent>
#include <QLineEdit>

StartTextSelection::StartTextSelection(QComboBox *list, const QString &startText)
    : QObject(list)
    , m_list(list)
    , m_startText(startText)
{
    // The list gets the focus (a popup closing gives it back to it), its field the clicks.
    m_list->installEventFilter(this);
    m_list->lineEdit()->installEventFilter(this);
}

bool StartTextSelection::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::FocusIn:
        selectStartText();
        break;
    case QEvent::MouseButtonRelease:
        // The press has put the cursor where the click was; the release leaves the selection.
        if (watched == m_list->lineEdit())
            selectStartText();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

void StartTextSelection::selectStartText()
{
    if (m_list->currentText() == m_startText)
        m_list->lineEdit()->selectAll();
}
