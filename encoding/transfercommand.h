#pragma once

#include "transferframe.h"
#include "transferstate.h"

#include <optional>

class SerialLink;
class TransferView;

// What "Transfert" does: check the choice, encode it, write one frame to the current slot,
// show what was written and move to the next slot.
class TransferCommand {
public:
    TransferCommand(TransferView &view, SerialLink &link, TransferState &state);

    void Run();

private:
    int slotNumber() const;
    bool checkChoices();
    std::optional<TransferFrame> encode();
    bool writeFrame(const TransferFrame &frame);
    void show(const TransferFrame &frame);
    void advance();

    TransferView &m_view;
    SerialLink &m_link;
    TransferState &m_state;
};
