// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "melodyplan.h"
#include "transferview.h"

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTextStream>

#include <vector>

class MelodyProgress;
class MelodySender;
class SerialLink;
class QWidget;
struct WriteResult;

// One whole melody on its way from the window: paced as tinkora-send paces it, with the slot
// counter and the display fields moved as each frame is written, as a click would. Warnings
// the frames call for wait until the progress dialog has closed.
class MelodyRun : public QObject, private TransferView {
    Q_OBJECT
public:
    MelodyRun(QWidget &window, TransferView &view, SerialLink &link,
              std::vector<PlannedFrame> frames, QObject *parent = nullptr);
    ~MelodyRun() override;

    void start();

signals:
    // The dialog has closed and every warning has been dismissed.
    void finished();

private:
    QString ListText(ChoiceList list) const override;
    void ShowWarning(const QString &text) override;
    void SetDisplayText(DisplayField field, const QString &text) override;

    void frameWritten(const PlannedFrame &frame, quint64 sequence);
    void writeFailed(const WriteResult &result);
    void senderFinished();
    void showHeldWarnings();

    TransferView &m_view;
    SerialLink &m_link;
    // The window shows each note in its fields: tinkora-send's lines are not shown.
    QString m_sentLines;
    QTextStream m_lines{&m_sentLines};
    MelodySender *m_sender = nullptr;
    QPointer<MelodyProgress> m_progress;
    QStringList m_heldWarnings;
    int m_handed = 0;
};
