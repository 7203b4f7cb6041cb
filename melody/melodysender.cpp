// SPDX-License-Identifier: GPL-3.0-or-later
#include "melodysender.h"

#include "portmessages.h"
#include "seriallink.h"

MelodySender::MelodySender(SerialLink &link, std::vector<PlannedFrame> frames, Pacing pacing,
                           QTextStream &out, QObject *parent)
    : QObject(parent)
    , m_link(link)
    , m_frames(std::move(frames))
    , m_pacing(pacing)
    , m_out(out)
{
    m_gapTimer.setSingleShot(true);
    m_gapTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_gapTimer, &QTimer::timeout, this, &MelodySender::sendNext);
    // One frame is on its way at a time, so the line drained means that frame has left.
    connect(&m_link, &SerialLink::drained, this, [this] {
        if (m_inFlight && m_outcome == Outcome::Running)
            frameLeft();
    });
    connect(
        &m_link, &SerialLink::portLost, this,
        [this](int portNumber, const QString &device, const PortLoss &loss) {
            // The window's words, without its advice to pick the port again.
            finish(Outcome::PortFailed,
                   portLostText(m_namedByPath ? 0 : portNumber, device, loss).section(u'\n', 0, 0));
        });
}

void MelodySender::start()
{
    m_gapTimer.start(m_pacing.wait);
}

void MelodySender::sendNext()
{
    if (m_outcome != Outcome::Running)
        return;
    if (m_next >= m_frames.size()) {
        finish(Outcome::Written);
        return;
    }
    const PlannedFrame &planned = m_frames[m_next++];
    // In flight before the write: a line that takes the frame at once says so inside it.
    m_inFlight = true;
    WriteResult result = m_link.writeBytes(planned.frame.toBytes());
    if (!result.ok()) {
        if (m_namedByPath && result.failure != WriteFailure::NotOpen)
            result.portNumber = 0;
        m_inFlight = false;
        --m_next;
        emit writeFailed(result);
        finish(Outcome::PortFailed, writeFailureText(result));
        return;
    }
    m_out << planned.describe() << Qt::endl;
    emit frameWritten(planned, result.sequence);
}

void MelodySender::frameLeft()
{
    m_inFlight = false;
    ++m_written;
    if (m_next >= m_frames.size())
        finish(Outcome::Written);
    else if (m_halted)
        finish(Outcome::Stopped);
    else
        m_gapTimer.start(m_pacing.gap);
}

void MelodySender::stop()
{
    m_gapTimer.stop();
    if (m_outcome == Outcome::PortFailed)
        return;
    const int unsent = m_link.flushAndClose();
    if (m_inFlight) {
        m_inFlight = false;
        if (unsent == 0)
            ++m_written; // a frame the exit bound cut off did not reach the board
    }
}

void MelodySender::halt()
{
    if (m_outcome != Outcome::Running)
        return;
    m_halted = true;
    m_gapTimer.stop();
    if (!m_inFlight)
        finish(Outcome::Stopped);
}

void MelodySender::finish(Outcome outcome, const QString &failure)
{
    if (m_outcome != Outcome::Running)
        return;
    m_gapTimer.stop();
    m_outcome = outcome;
    m_failure = failure;
    m_inFlight = false; // a frame cut off by a lost port is not counted
    emit finished();
}
