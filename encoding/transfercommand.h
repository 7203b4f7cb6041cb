// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "seriallink.h"
#include "transferframe.h"
#include "transferstate.h"
#include "transferview.h"

#include <QString>

#include <optional>
#include <utility>
#include <vector>

// A warning about one list's text.
struct ChoiceWarning {
    ChoiceList list;
    QString text;
};

// The codes a choice of three texts gives, or the warnings that stop it.
struct EncodedChoice {
    std::vector<ChoiceWarning> warnings;
    quint8 NoteCode = 0;
    quint8 DurationCode = 0;

    bool ok() const { return warnings.empty(); }
};

// What "Transfert" does: check the choice, encode it, write one frame to the current slot,
// show what was written and move to the next slot.
class TransferCommand {
public:
    TransferCommand(TransferView &view, SerialLink &link, TransferState &state);

    void Run();
    // A port closed on its own: warns, and steps the slot counter back to the first slot whose
    // frame did not wholly leave, so that the next transfers send those notes again. A port
    // left for the other one leaves the counter alone: the notes go on to the other board.
    void reportPortLost(int portNumber, const QString &device, const PortLoss &loss);
    // A frame for the current slot that something else wrote (a whole melody): remembered,
    // shown and counted as a click's, with the limit warning on the last slot.
    void recordWritten(const TransferFrame &frame, quint64 sequence);
    // A write the link refused: said as for a click, with the notes lost with it.
    void reportWriteFailure(const WriteResult &result);

    // The warning for a list left at its placeholder.
    static QString placeholderWarning(ChoiceList list);
    // The one rule from texts to codes, shared with whatever else writes notes to the board.
    static EncodedChoice encodeChoice(const QString &tempo, const QString &note,
                                      const QString &value);

private:
    int slotNumber() const;
    bool checkChoices();
    std::optional<TransferFrame> encode();
    bool writeFrame(const TransferFrame &frame);
    void show(const TransferFrame &frame);
    void advance();
    QString stepBack(const UnsentWrites &unsent);
    std::pair<int, int> lostSlots(const UnsentWrites &unsent) const;

    TransferView &m_view;
    SerialLink &m_link;
    TransferState &m_state;
};
