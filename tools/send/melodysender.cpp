#include "melodysender.h"

#include "portmessages.h"
#include "serialportlink.h"

MelodySender::MelodySender(SerialPortLink &link, std::vector<PlannedFrame> frames, Pacing pacing,
                           QTextStream &out, QObject *parent)
    : QObject(parent)
    , m_link(link)
    , m_frames(std::move(frames))
    , m_pacing(pacing)
    , m_out(out)
{
    // A frame takes 12.5 ms on the line at 2400 baud: look often so the gap starts on time.
    m_lineTimer.setInterval(std::chrono::milliseconds(1));
    m_lineTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_lineTimer, &QTimer::timeout, this, &MelodySender::checkLine);
    m_gapTimer.setSingleShot(true);
    m_gapTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_gapTimer, &QTimer::timeout, this, &MelodySender::sendNext);
    connect(&m_link, &SerialPortLink::portLost, this,
            [this](int portNumber, const QString &device, const PortLoss &loss) {
                // The window's words, without its advice to pick the port again.
                finish(Outcome::PortFailed,
                       portLostText(portNumber, device, loss).section(u'\n', 0, 0));
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
    const PlannedFrame &planned = m_frames[m_next];
    const WriteResult result = m_link.writeBytes(planned.frame.toBytes());
    if (!result.ok()) {
        finish(Outcome::PortFailed, writeFailureText(result));
        return;
    }
    ++m_next;
    m_inFlight = true;
    m_out << planned.describe() << Qt::endl;
    checkLine();
}

void MelodySender::checkLine()
{
    if (!m_link.allSent()) {
        if (!m_lineTimer.isActive())
            m_lineTimer.start();
        return;
    }
    m_lineTimer.stop();
    frameLeft();
}

void MelodySender::frameLeft()
{
    m_inFlight = false;
    ++m_written;
    if (m_next >= m_frames.size())
        finish(Outcome::Written);
    else
        m_gapTimer.start(m_pacing.gap);
}

void MelodySender::stop()
{
    m_lineTimer.stop();
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

void MelodySender::finish(Outcome outcome, const QString &failure)
{
    if (m_outcome != Outcome::Running)
        return;
    m_lineTimer.stop();
    m_gapTimer.stop();
    m_outcome = outcome;
    m_failure = failure;
    m_inFlight = false; // a frame cut off by a lost port is not counted
    emit finished();
}
