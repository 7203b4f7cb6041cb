// SPDX-License-Identifier: GPL-3.0-or-later
#include "melodyrun.h"

#include "melodyprogress.h"
#include "melodysender.h"
#include "module1.h"
#include "transfercommand.h"

#include <QWidget>

MelodyRun::MelodyRun(QWidget &window, TransferView &view, SerialLink &link,
                     std::vector<PlannedFrame> frames, QObject *parent)
    : QObject(parent)
    , m_view(view)
    , m_link(link)
    , m_progress(new MelodyProgress(int(frames.size()), &window))
{
    m_sender = new MelodySender(link, std::move(frames), {}, m_lines, this);
    connect(m_sender, &MelodySender::frameWritten, this, &MelodyRun::frameWritten);
    connect(m_sender, &MelodySender::writeFailed, this, &MelodyRun::writeFailed);
    connect(m_sender, &MelodySender::finished, this, &MelodyRun::senderFinished);
    connect(m_progress, &MelodyProgress::stopAsked, m_sender, &MelodySender::halt);
}

MelodyRun::~MelodyRun()
{
    delete m_progress;
}

void MelodyRun::start()
{
    m_progress->open();
    m_sender->start();
}

void MelodyRun::frameWritten(const PlannedFrame &frame, quint64 sequence)
{
    TransferCommand(*this, m_link, Module1::transferState).recordWritten(frame.frame, sequence);
    m_progress->showNote(++m_handed);
}

void MelodyRun::writeFailed(const WriteResult &result)
{
    TransferCommand(*this, m_link, Module1::transferState).reportWriteFailure(result);
}

void MelodyRun::senderFinished()
{
    m_progress->finish();
    // Warnings are modal: they wait until the sender's own step is over.
    QMetaObject::invokeMethod(this, &MelodyRun::showHeldWarnings, Qt::QueuedConnection);
}

void MelodyRun::showHeldWarnings()
{
    for (const QString &text : std::as_const(m_heldWarnings))
        m_view.ShowWarning(text);
    m_heldWarnings.clear();
    emit finished();
}

QString MelodyRun::ListText(ChoiceList list) const
{
    return m_view.ListText(list);
}

void MelodyRun::ShowWarning(const QString &text)
{
    m_heldWarnings << text;
}

void MelodyRun::SetDisplayText(DisplayField field, const QString &text)
{
    m_view.SetDisplayText(field, text);
}
