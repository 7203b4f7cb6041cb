// SPDX-License-Identifier: GPL-3.0-or-later
#include "melodyprogress.h"

#include "melodymessages.h"

#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

MelodyProgress::MelodyProgress(int total, QWidget *parent)
    : QDialog(parent)
    , m_label(new QLabel(sendProgressText(1, total), this))
    , m_bar(new QProgressBar(this))
    , m_stop(new QPushButton(QStringLiteral("Arrêter"), this))
    , m_total(total)
{
    setObjectName(QStringLiteral("melodyProgress"));
    setWindowTitle(QStringLiteral("Envoi de la mélodie"));
    setWindowModality(Qt::WindowModal);
    m_label->setObjectName(QStringLiteral("melodyProgressText"));
    m_bar->setRange(0, total);
    m_bar->setValue(0);
    m_bar->setAccessibleName(windowTitle());
    m_stop->setObjectName(QStringLiteral("stopMelody"));
    m_stop->setAutoDefault(false); // Enter held from the question must not stop the melody

    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(m_stop, QDialogButtonBox::RejectRole);
    connect(m_stop, &QPushButton::clicked, this, &MelodyProgress::askToStop);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_label);
    layout->addWidget(m_bar);
    layout->addWidget(buttons);
    setMinimumWidth(300);
}

void MelodyProgress::showNote(int note)
{
    m_label->setText(sendProgressText(note, m_total));
    m_bar->setValue(note);
}

void MelodyProgress::finish()
{
    m_finished = true;
    close();
}

// Escape
void MelodyProgress::reject()
{
    if (m_finished)
        QDialog::reject();
    else
        askToStop();
}

// The dialog's own close button
void MelodyProgress::closeEvent(QCloseEvent *event)
{
    if (m_finished) {
        QDialog::closeEvent(event);
        return;
    }
    event->ignore();
    askToStop();
}

void MelodyProgress::askToStop()
{
    if (!m_stop->isEnabled())
        return;
    m_stop->setEnabled(false); // once is enough: the note on its way still leaves
    emit stopAsked();
}
