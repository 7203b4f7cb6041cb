// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "melodyplan.h"
#include "seriallink.h"

#include <QObject>
#include <QTextStream>
#include <QTimer>

#include <chrono>
#include <vector>

// Writes planned frames through an opened link, one at a time: each frame is handed over whole,
// and the next one only goes once the link says it has left the line and the gap has passed.
class MelodySender : public QObject {
    Q_OBJECT
public:
    enum class Outcome { Running, Written, PortFailed, Stopped };

    struct Pacing {
        std::chrono::milliseconds wait{0}; // between opening the port and the first frame
        std::chrono::milliseconds gap{50}; // after each frame has left the line
    };

    MelodySender(SerialLink &link, std::vector<PlannedFrame> frames, Pacing pacing,
                 QTextStream &out, QObject *parent = nullptr);

    // The user gave the port as a device path: failures name that path, not "COM1".
    void nameThePortByItsPath() { m_namedByPath = true; }

    void start();
    // Ends the run where it stands: a frame on its way still leaves whole, no other one starts.
    void stop();
    // No frame starts after the one on its way; the port stays open. finished() comes once that
    // frame has left, at once when none is on its way.
    void halt();

    Outcome outcome() const { return m_outcome; }
    int written() const { return m_written; }
    QString failure() const { return m_failure; } // French, with PortFailed

signals:
    // A frame was handed to the link whole; sequence is the link's number for that write.
    void frameWritten(const PlannedFrame &frame, quint64 sequence);
    // The link refused a frame: the run ends with PortFailed.
    void writeFailed(const WriteResult &result);
    void finished();

private:
    void sendNext();
    void frameLeft();
    void finish(Outcome outcome, const QString &failure = {});

    SerialLink &m_link;
    std::vector<PlannedFrame> m_frames;
    Pacing m_pacing;
    QTextStream &m_out;
    QTimer m_gapTimer;
    std::size_t m_next = 0;
    bool m_inFlight = false;
    bool m_halted = false;
    int m_written = 0;
    Outcome m_outcome = Outcome::Running;
    QString m_failure;
    bool m_namedByPath = false;
};
