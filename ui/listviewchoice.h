// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class QComboBox;
class QItemSelection;

// An entry selected in the list's view from outside (an assistive tool's Toggle or Select on
// the entry) becomes the list's choice, as a click on it does: its text goes into the field and
// the popup closes. The highlight that the keyboard and the mouse move inside an open popup is
// not a choice and is left alone.
class ListViewChoice : public QObject {
    Q_OBJECT
public:
    explicit ListViewChoice(QComboBox *list);

private:
    void onSelectionChanged(const QItemSelection &selected);
    void choose(int row);

    QComboBox *m_list;
    int m_pendingRow = -1; // selected where the view's current entry already was
};
