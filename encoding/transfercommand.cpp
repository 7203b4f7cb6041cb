// SPDX-License-Identifier: GPL-3.0-or-later
#include "transfercommand.h"

#include "displaytexts.h"
#include "durationtable.h"
#include "nearestname.h"
#include "notetable.h"
#include "portmessages.h"
#include "seriallink.h"
#include "showntext.h"
#include "tempolist.h"
#include "transferview.h"

#include <algorithm>
#include <array>
#include <limits>

namespace {

struct Placeholder {
    ChoiceList list;
    QStringView warning;
};

// In the order the lists are checked.
constexpr std::array<Placeholder, 3> kPlaceholders{{
    {ChoiceList::tempo, u"Veillez indiquer un Tempo"},
    {ChoiceList::notes, u"Veillez indiquer une valeur de note"},
    {ChoiceList::duree, u"Veillez indiquer une durée de note"},
}};

QString durationWarning(const DurationResult &duration, const QString &tempo, const QString &value)
{
    switch (duration.problem) {
    case DurationProblem::TempoNotANumber:
    case DurationProblem::TempoNotPositive:
        return QStringLiteral("Tempo invalide : %1. Indiquez un nombre entier supérieur à 0.")
            .arg(quotedUserText(tempo));
    case DurationProblem::TempoTooLarge:
        return QStringLiteral("Tempo trop grand : %1. Indiquez un nombre entier de 1 à %2, comme "
                              "ceux de la liste (%3 à %4).")
            .arg(quotedUserText(tempo), QString::number(std::numeric_limits<qint32>::max()),
                 TempoList.front().toString(), TempoList.back().toString());
    case DurationProblem::OutOfByteRange:
        return QStringLiteral("Durée impossible à envoyer : %1 au tempo %2 donne %3, plus que 255. "
                              "Choisissez un tempo plus rapide ou une note plus courte.")
            .arg(quotedUserText(value), QString::number(duration.tempo),
                 QString::number(duration.value));
    case DurationProblem::ZeroLength:
        return QStringLiteral("Durée impossible à envoyer : %1 au tempo %2 donne 0, une note sans "
                              "durée. Choisissez un tempo plus lent ou une note plus longue.")
            .arg(quotedUserText(value), QString::number(duration.tempo));
    case DurationProblem::ReservedByte:
        return QStringLiteral("Durée impossible à envoyer : %1 au tempo %2 donne %3, que la carte "
                              "lirait comme %4. Choisissez un autre tempo ou une autre note.")
            .arg(quotedUserText(value), QString::number(duration.tempo),
                 QString::number(duration.value),
                 QString::number(foldedQuotient(quint8(duration.value)).value_or(0)));
    case DurationProblem::None:
        break;
    }
    return {};
}

template<typename Table> std::vector<QStringView> namesOf(const Table &table)
{
    std::vector<QStringView> names;
    for (const auto &entry : table)
        names.push_back(entry.name);
    return names;
}

// "Note inconnue : « Ré3 ». Vouliez-vous dire « Re3 » ?", or the advice to pick from the list
// when no name is that close.
QString unknownNameWarning(QStringView what, const QString &typed,
                           const std::optional<QString> &meant, QStringView advice)
{
    return meant ? QStringLiteral("%1 : %2. Vouliez-vous dire %3 ?")
                       .arg(what, quotedUserText(typed), quotedUserText(*meant))
                 : QStringLiteral("%1 : %2. %3").arg(what, quotedUserText(typed), advice);
}

} // namespace

TransferCommand::TransferCommand(TransferView &view, SerialLink &link, TransferState &state)
    : m_view(view)
    , m_link(link)
    , m_state(state)
{
}

int TransferCommand::slotNumber() const
{
    // Guards the address byte against a counter that was never set up.
    return std::clamp<int>(m_state.NoteNumber, 1, TransferState::MaxNotes);
}

void TransferCommand::Run()
{
    if (!checkChoices())
        return;
    const std::optional<TransferFrame> frame = encode();
    if (!frame || !writeFrame(*frame))
        return;
    show(*frame);
    advance();
}

bool TransferCommand::checkChoices()
{
    bool ready = true;
    for (const Placeholder &placeholder : kPlaceholders) {
        if (m_view.ListText(placeholder.list) == placeholderText(placeholder.list)) {
            m_view.ShowWarning(placeholder.warning.toString());
            ready = false;
        }
    }
    return ready;
}

QString TransferCommand::placeholderWarning(ChoiceList list)
{
    for (const Placeholder &placeholder : kPlaceholders) {
        if (placeholder.list == list)
            return placeholder.warning.toString();
    }
    return {};
}

EncodedChoice TransferCommand::encodeChoice(const QString &tempo, const QString &note,
                                            const QString &value)
{
    EncodedChoice result;
    // A typed name that matches nothing is reported, never replaced by an earlier choice:
    // the device would otherwise play a note nobody asked for.
    const std::optional<qint32> dividend = DurationDividendFor(value);
    const DurationResult duration = ComputeDurationCode(dividend.value_or(0), tempo);
    const std::optional<quint8> code = NoteCodeFor(note);

    const bool tempoUnusable = duration.problem == DurationProblem::TempoNotANumber ||
                               duration.problem == DurationProblem::TempoNotPositive ||
                               duration.problem == DurationProblem::TempoTooLarge;
    if (tempoUnusable || (dividend && !duration.ok())) {
        result.warnings.push_back({tempoUnusable ? ChoiceList::tempo : ChoiceList::duree,
                                   durationWarning(duration, tempo, value)});
    }
    if (!code) {
        result.warnings.push_back(
            {ChoiceList::notes, unknownNameWarning(u"Note inconnue", note, nearestNoteName(note),
                                                   u"Choisissez une note dans la liste.")});
    }
    if (!dividend) {
        result.warnings.push_back(
            {ChoiceList::duree, unknownNameWarning(u"Valeur de note inconnue", value,
                                                   nearestName(value, namesOf(DurationTable)),
                                                   u"Choisissez une valeur dans la liste.")});
    }
    if (result.ok()) {
        result.NoteCode = *code;
        result.DurationCode = quint8(duration.value);
    }
    return result;
}

std::optional<TransferFrame> TransferCommand::encode()
{
    const EncodedChoice choice =
        encodeChoice(m_view.ListText(ChoiceList::tempo), m_view.ListText(ChoiceList::notes),
                     m_view.ListText(ChoiceList::duree));
    for (const ChoiceWarning &warning : choice.warnings)
        m_view.ShowWarning(warning.text);
    if (!choice.ok())
        return std::nullopt;
    return TransferFrame{TransferState::addressOf(slotNumber()), choice.NoteCode,
                         choice.DurationCode};
}

bool TransferCommand::writeFrame(const TransferFrame &frame)
{
    const WriteResult result = m_link.writeBytes(frame.toBytes());
    if (!result.ok()) {
        reportWriteFailure(result);
        return false;
    }
    if (result.sequence != 0)
        m_state.sentFrames.record(result.sequence, slotNumber());
    return true;
}

void TransferCommand::recordWritten(const TransferFrame &frame, quint64 sequence)
{
    if (sequence != 0)
        m_state.sentFrames.record(sequence, slotNumber());
    show(frame);
    advance();
}

void TransferCommand::reportWriteFailure(const WriteResult &result)
{
    QString text = writeFailureText(result);
    if (result.unsent.any())
        text += u'\n' + stepBack(result.unsent);
    m_view.ShowWarning(text);
}

void TransferCommand::reportPortLost(int portNumber, const QString &device, const PortLoss &loss)
{
    const int inUse = m_link.openPort();
    QString lostNotes;
    if (loss.unsent.any() && inUse != 0 && inUse != portNumber) {
        // The counter belongs to the board in use now, which has those slots or will get them.
        const auto [first, last] = lostSlots(loss.unsent);
        lostNotes = notesLackingText(first, last, portNumber, inUse);
    } else if (loss.unsent.any()) {
        lostNotes = stepBack(loss.unsent);
    }
    m_view.ShowWarning(portLostText(portNumber, device, loss, lostNotes));
}

std::pair<int, int> TransferCommand::lostSlots(const UnsentWrites &unsent) const
{
    // The lost writes may span a step back already made, or a port left and picked again:
    // look at each one's slot rather than only at the ends.
    int first = TransferState::MaxNotes;
    int last = 1;
    for (quint64 sequence = unsent.first; sequence <= unsent.last && sequence != 0; ++sequence) {
        const int slot = m_state.sentFrames.slotOf(sequence).value_or(1); // forgotten: resend all
        first = std::min(first, slot);
        last = std::max(last, slot);
    }
    return {first, last};
}

QString TransferCommand::stepBack(const UnsentWrites &unsent)
{
    const auto [first, last] = lostSlots(unsent);
    if (first <= m_state.NoteNumber) {
        m_state.NoteNumber = quint8(first);
        // The fields show the last slot that really left, or their start texts if none did.
        const int shown = first - 1;
        m_state.DeviceAddress = shown > 0 ? TransferState::addressOf(shown) : 0;
        m_view.SetDisplayText(DisplayField::Text1,
                              shown > 0 ? noteNumberText(shown) : noteNumberStartText());
        m_view.SetDisplayText(DisplayField::Text2, shown > 0
                                                       ? deviceAddressText(m_state.DeviceAddress)
                                                       : deviceAddressStartText());
    }
    return lostNotesText(first, last, m_state.NoteNumber,
                         deviceAddressText(TransferState::addressOf(m_state.NoteNumber)));
}

void TransferCommand::show(const TransferFrame &frame)
{
    m_state.DeviceAddress = frame.DeviceAddress;
    m_state.NoteCode = frame.NoteCode;
    m_state.DurationCode = frame.DurationCode;
    m_view.SetDisplayText(DisplayField::Text1, noteNumberText(slotNumber()));
    m_view.SetDisplayText(DisplayField::Text2, deviceAddressText(frame.DeviceAddress));
}

void TransferCommand::advance()
{
    if (m_state.NoteNumber < TransferState::MaxNotes) {
        ++m_state.NoteNumber;
        return;
    }
    m_state.NoteNumber = TransferState::MaxNotes;
    m_view.ShowWarning(QStringLiteral("Le nombre maximum de notes (%1) est atteint")
                           .arg(int(TransferState::MaxNotes)));
}
