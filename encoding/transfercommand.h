#pragma once

#include "seriallink.h"
#include "transferframe.h"
#include "transferstate.h"

#include <optional>

class TransferView;

// What "Transfert" does: check the choice, encode it, write one frame to the current slot,
// show what was written and move to the next slot.
class TransferCommand {
public:
    TransferCommand(TransferView &view, SerialLink &link, TransferState &state);

    void Run();
    // A port closed on its own: warns, and steps the slot counter back to the first slot whose
    // frame did not wholly leave, so that the next transfers send those notes again.
    void reportPortLost(int portNumber, const QString &device, const PortLoss &loss);

private:
    int slotNumber() const;
    bool checkChoices();
    std::optional<TransferFrame> encode();
    bool writeFrame(const TransferFrame &frame);
    void show(const TransferFrame &frame);
    void advance();
    QString stepBack(const UnsentWrites &unsent);

    TransferView &m_view;
    SerialLink &m_link;
    TransferState &m_state;
};
