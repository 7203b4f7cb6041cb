// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QPointer>

class QFrame;
class QLabel;
class QScrollArea;

// A warning shown inside its window rather than as a window of its own: it covers the whole
// client area, dims the controls and takes every click and key from them; in its centre a card
// with the exclamation icon, "Tinkora", the text (scrolling when it is taller than the window)
// and one OK button, which Enter and Escape press too.
class WarningSheet : public QDialog {
    Q_OBJECT
public:
    WarningSheet(QWidget *window, const QString &text);

protected:
    void showEvent(QShowEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void done(int result) override;

private:
    void placeCard();

    QPointer<QWidget> m_focusBefore;
    QFrame *m_card = nullptr;
    QScrollArea *m_scroll = nullptr;
    QLabel *m_text = nullptr;
};

// Shows text in a sheet over window; returns once the user has dismissed it.
void showWarningSheet(QWidget *window, const QString &text);

// The topmost sheet open over window, if any.
WarningSheet *openWarningSheet(const QWidget *window);
