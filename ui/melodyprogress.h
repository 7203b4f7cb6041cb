// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;

// "Envoi de la mélodie": the note on its way, a bar, and "Arrêter" (Escape too). Stopping is
// only asked: the dialog stays up until the frame on its way has left, and its owner closes it.
// A plain dialog rather than QProgressDialog, whose setValue() runs the event loop inside.
class MelodyProgress : public QDialog {
    Q_OBJECT
public:
    MelodyProgress(int total, QWidget *parent);

    // The note handed to the line, from 1.
    void showNote(int note);
    // The run is over: closes for good.
    void finish();

signals:
    void stopAsked();

protected:
    void reject() override;
    void closeEvent(QCloseEvent *event) override;

private:
    void askToStop();

    QLabel *m_label = nullptr;
    QProgressBar *m_bar = nullptr;
    QPushButton *m_stop = nullptr;
    int m_total = 0;
    bool m_finished = false;
};
