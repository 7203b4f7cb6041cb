// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>
#include <QList>
#include <QMessageBox>
#include <QObject>
#include <QTimer>

// Watches for modal message boxes, and for warning sheets inside a window, while a test drives
// the window, records each one and dismisses it with its OK button, as the user would.
class MessageBoxCloser : public QObject {
    Q_OBJECT
public:
    struct Box {
        QString title;
        QString text; // as read, without the word joiners that keep option names whole
        QMessageBox::Icon icon;
        int buttons;
        QIcon windowIcon;
        QString shownText; // exactly as laid out
    };

    MessageBoxCloser();
    QList<Box> boxes;
    // The key pressed on a box with no OK button (a question): Enter takes its default button.
    Qt::Key answerKey = Qt::Key_Escape;
    QStringList texts() const;

private:
    void closeOpenBox();
    bool closeOpenSheet();
    QTimer m_timer;
};
