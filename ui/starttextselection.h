// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>

class QComboBox;

// Keeps a list's start text selected whenever the user comes into the list while it still shows
// it (Tab, a click, the popup closed with Échap), so that typing replaces "Notes" instead of
// giving "NotesLa3". The text itself is left as it is.
class StartTextSelection : public QObject {
    Q_OBJECT
public:
    StartTextSelection(QComboBox *list, const QString &startText);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void selectStartText();

    QComboBox *m_list;
    QString m_startText;
};
