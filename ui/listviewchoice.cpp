// SPDX-License-Identifier: GPL-3.0-or-later
#include "listviewchoice.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QItemSelectionModel>

ListViewChoice::ListViewChoice(QComboBox *list)
    : QObject(list)
    , m_list(list)
{
    QItemSelectionModel *selection = list->view()->selectionModel();
    connect(selection, &QItemSelectionModel::selectionChanged, this,
            &ListViewChoice::onSelectionChanged);
    // The keyboard and the mouse move the current entry, then select it, then say it moved.
    connect(selection, &QItemSelectionModel::currentChanged, this, [this] { m_pendingRow = -1; });
}

// An assistive tool selects an entry without making it current. Where it selects the current
// entry (the one the popup starts on), only the absence of a move that follows tells it from the
// keyboard, so the choice waits for the next pass of the event loop.
void ListViewChoice::onSelectionChanged(const QItemSelection &selected)
{
    const QModelIndexList indexes = selected.indexes();
    if (indexes.size() != 1)
        return;
    const int row = indexes.first().row();
    if (indexes.first() != m_list->view()->currentIndex()) {
        choose(row);
        return;
    }
    if (row == m_list->currentIndex()) // the popup opening on the list's own entry
        return;
    m_pendingRow = row;
    QMetaObject::invokeMethod(
        this,
        [this, row] {
            if (m_pendingRow == row)
                choose(row);
            m_pendingRow = -1;
        },
        Qt::QueuedConnection);
}

void ListViewChoice::choose(int row)
{
    m_list->setCurrentIndex(row);
    m_list->setEditText(m_list->itemText(row)); // the index may already be row, edited since
    if (m_list->view()->isVisible())
        m_list->hidePopup();
}
