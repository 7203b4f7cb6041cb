// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzzes the transfer command with arbitrary list texts and arbitrary sequences of transfers and
// port events, checking after every transfer that no wrong byte reached the line.
//
// Input: a stream of operations, each an opcode byte followed by its arguments (see run()).

#include "recordinglink.h"
#include "transfercommand.h"
#include "transferview.h"

#include <QString>
#include <QStringList>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <utility>
#include <vector>

namespace {

[[noreturn]] void violated(const char *rule)
{
    std::fprintf(stderr, "invariant broken: %s\n", rule);
    std::abort();
}

void check(bool holds, const char *rule)
{
    if (!holds)
        violated(rule);
}

class Reader {
public:
    Reader(const quint8 *data, size_t size)
        : m_data(data)
        , m_size(size)
    {
    }
    bool atEnd() const { return m_pos >= m_size; }
    quint8 byte() { return atEnd() ? 0 : m_data[m_pos++]; }
    QByteArray bytes(size_t count)
    {
        count = std::min(count, m_size - m_pos);
        QByteArray result(reinterpret_cast<const char *>(m_data + m_pos), qsizetype(count));
        m_pos += count;
        return result;
    }

private:
    const quint8 *m_data;
    size_t m_size;
    size_t m_pos = 0;
};

class FuzzView : public TransferView {
public:
    std::array<QString, 3> texts{QStringLiteral("Tempo"), QStringLiteral("Notes"),
                                 QStringLiteral("Durée")};
    int warnings = 0;

    QString ListText(ChoiceList list) const override { return texts[int(list)]; }
    void ShowWarning(const QString &) override { ++warnings; }
    void SetDisplayText(DisplayField, const QString &) override {}
};

// What the rules give, written out again independently of the code under test.
const std::array<const char16_t *, 3> kPlaceholders{u"Tempo", u"Notes", u"Durée"};
const std::array<const char16_t *, 5> kTempos{u"60", u"90", u"120", u"150", u"180"};
struct Value {
    const char16_t *name;
    int dividend;
};
const std::array<Value, 9> kValues{{{u"Ronde=4 Noires", 24000},
                                    {u"Blanche pointée", 18000},
                                    {u"Blanche=2 Noires", 12000},
                                    {u"Noire pointée", 9000},
                                    {u"Noire", 6000},
                                    {u"Croche pointée", 4500},
                                    {u"Croche=1/2 Noire", 3000},
                                    {u"Double Croche pointée", 2250},
                                    {u"Double Croche=1/4 Noire", 1500}}};
const std::array<const char16_t *, 12> kSyllables{u"Do",  u"Do#", u"Re",   u"Mib", u"Mi",  u"Fa",
                                                  u"Fa#", u"Sol", u"Sol#", u"La",  u"Sib", u"Si"};

QString noteName(int code)
{
    return QString::fromUtf16(kSyllables[(code - 1) % 12]) + QString::number(2 + (code - 1) / 12);
}

std::optional<qint64> tempoOf(QString text)
{
    while (text.startsWith(u' ') || text.startsWith(u'\t'))
        text.remove(0, 1);
    while (text.endsWith(u' ') || text.endsWith(u'\t'))
        text.chop(1);
    const bool negative = text.startsWith(u'-');
    if (negative || text.startsWith(u'+'))
        text.remove(0, 1);
    if (text.isEmpty())
        return std::nullopt;
    qint64 value = 0;
    for (QChar c : text) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c.unicode() - u'0');
        if (value > 2147483648LL)
            return std::nullopt;
    }
    value = negative ? -value : value;
    if (value > 2147483647LL)
        return std::nullopt;
    return value;
}

struct Expected {
    quint8 note;
    quint8 duration;
};

std::optional<Expected> expectedFrame(const FuzzView &view)
{
    for (int i = 0; i < 3; ++i) {
        if (view.texts[i] == QString::fromUtf16(kPlaceholders[i]))
            return std::nullopt;
    }
    const std::optional<qint64> tempo = tempoOf(view.texts[0]);
    if (!tempo || *tempo <= 0)
        return std::nullopt;
    int note = 0;
    for (int code = 1; code <= 36; ++code) {
        if (view.texts[1] == noteName(code))
            note = code;
    }
    std::optional<int> dividend;
    for (const Value &value : kValues) {
        if (view.texts[2] == QString::fromUtf16(value.name))
            dividend = value.dividend;
    }
    if (note == 0 || !dividend)
        return std::nullopt;
    const qint64 quotient = *dividend / *tempo;
    // The board reads 0 as no note and 253 to 255 as 266, 300 and 400: only the folds send those.
    if (quotient == 0 || (quotient >= 253 && quotient <= 255))
        return std::nullopt;
    qint64 duration = quotient;
    if (duration == 400)
        duration = 255;
    else if (duration == 300)
        duration = 254;
    else if (duration == 266)
        duration = 253;
    if (duration < 0 || duration > 255)
        return std::nullopt;
    return Expected{quint8(note), quint8(duration)};
}

QString lookAlike(int list, int variant)
{
    const QString placeholder = QString::fromUtf16(kPlaceholders[list]);
    switch (variant % 5) {
    case 0:
        return placeholder;
    case 1:
        return placeholder + u' ';
    case 2:
        return placeholder.toLower();
    case 3:
        return QStringLiteral("Dure\u0301e"); // "Durée" with a combining accent
    default:
        return QStringLiteral("%1 %2");
    }
}

QString typedNumber(Reader &in)
{
    qint32 value = 0;
    for (int i = 0; i < 4; ++i)
        value = qint32(quint32(value) << 8 | in.byte());
    const quint8 style = in.byte();
    QString text = QString::number(value);
    if (style & 1)
        text = u' ' + text + u'\t';
    if ((style & 2) && value >= 0)
        text.prepend(u'+');
    if (style & 4)
        text += QStringLiteral("99"); // beyond 32 bits, often
    return text;
}

// Keeps the frames handed over that the line has not yet let out, and reports them, as the
// serial link does, when the device turns out to be gone.
class FlightLink : public RecordingLink {
public:
    int lostSlot = 0; // the lowest slot among the frames the last loss took; 0 for none

    WriteResult writeBytes(QByteArrayView bytes) override
    {
        WriteResult result = RecordingLink::writeBytes(bytes);
        if (result.ok())
            m_inFlight.push_back({result.sequence, quint8(bytes[0]) / 2 + 1});
        else if (result.failure == WriteFailure::DeviceGone)
            result.unsent = takeUnsent();
        return result;
    }
    void lineDrains() { m_inFlight.clear(); }
    UnsentWrites takeUnsent()
    {
        lostSlot = 0;
        if (m_inFlight.empty())
            return {};
        const UnsentWrites unsent{m_inFlight.front().first, m_inFlight.back().first,
                                  int(m_inFlight.size())};
        lostSlot = TransferState::MaxNotes;
        for (const auto &[sequence, slot] : m_inFlight)
            lostSlot = std::min(lostSlot, slot);
        m_inFlight.clear();
        return unsent;
    }

private:
    std::vector<std::pair<quint64, int>> m_inFlight;
};

// A lost frame is never skipped: the next transfer goes at the latest to its slot.
void checkStepBack(const FlightLink &link, const TransferState &state, int oldNoteNumber)
{
    if (link.lostSlot == 0)
        check(state.NoteNumber == oldNoteNumber, "no loss, no step back");
    else
        check(state.NoteNumber <= std::min(oldNoteNumber, link.lostSlot),
              "the counter steps back to the first lost slot");
}

void portLost(FuzzView &view, FlightLink &link, TransferState &state)
{
    const int port = link.openPort();
    if (port == 0)
        return;
    PortLoss loss;
    loss.unsent = link.takeUnsent();
    link.unplug();
    const int oldNoteNumber = state.NoteNumber;
    const int warningsBefore = view.warnings;
    TransferCommand(view, link, state).reportPortLost(port, link.device, loss);
    check(view.warnings == warningsBefore + 1, "a lost port is reported once");
    checkStepBack(link, state, oldNoteNumber);
}

void transfer(FuzzView &view, FlightLink &link, TransferState &state)
{
    link.lostSlot = 0;
    const qsizetype before = link.wire.size();
    const TransferState old = state;
    const bool portUsable = link.openPort() != 0 && link.nextFailure == WriteFailure::None;
    const std::optional<Expected> expected = expectedFrame(view);
    const int warningsBefore = view.warnings;

    TransferCommand(view, link, state).Run();

    const QByteArray sent = link.wire.mid(before);
    check(link.wire.size() % 3 == 0, "frames are whole");
    check(state.NoteNumber >= 1 && state.NoteNumber <= TransferState::MaxNotes, "slot in range");
    if (!expected || !portUsable) {
        check(sent.isEmpty(), "a warning means no byte on the line");
        check(view.warnings > warningsBefore, "a refused transfer is reported");
        checkStepBack(link, state, old.NoteNumber); // a refused transfer does not advance
        return;
    }
    check(sent.size() == 3, "one frame per transfer");
    check(quint8(sent[0]) == 2 * (old.NoteNumber - 1), "address of the current slot");
    check(quint8(sent[0]) % 2 == 0 && quint8(sent[0]) <= 60, "address even, at most 60");
    check(quint8(sent[1]) == expected->note, "note code of the chosen note");
    check(quint8(sent[1]) >= 1 && quint8(sent[1]) <= 36, "note code from 1 to 36");
    check(quint8(sent[2]) == expected->duration, "duration byte of the chosen value and tempo");
    check(state.NoteNumber == std::min(old.NoteNumber + 1, int(TransferState::MaxNotes)),
          "slot advances up to 31");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const quint8 *data, size_t size)
{
    Reader in(data, size);
    FuzzView view;
    FlightLink link; // the fuzzer decides when opening fails and when the device goes away
    TransferState state;

    while (!in.atEnd()) {
        switch (in.byte() % 10) {
        case 0: { // raw bytes, often invalid UTF-8
            const int list = in.byte() % 3;
            const quint8 length = in.byte();
            view.texts[list] =
                QString::fromUtf8(in.bytes(length == 255 ? 4000 : length)); // sometimes long
            break;
        }
        case 1: { // an entry of the list, as chosen with the mouse
            const int list = in.byte() % 3;
            const int index = in.byte();
            if (list == 0)
                view.texts[0] = QString::fromUtf16(kTempos[index % 5]);
            else if (list == 1)
                view.texts[1] = noteName(index % 36 + 1);
            else
                view.texts[2] = QString::fromUtf16(kValues[index % 9].name);
            break;
        }
        case 2: {
            const int list = in.byte() % 3;
            view.texts[list] = lookAlike(list, in.byte());
            break;
        }
        case 3:
            view.texts[0] = typedNumber(in);
            break;
        case 4:
            transfer(view, link, state);
            break;
        case 5:
            link.Open(in.byte() % 2 + 1);
            break;
        case 6:
            link.nextOpenFailure = OpenFailure::Busy;
            link.Open(in.byte() % 2 + 1);
            break;
        case 7:
            link.nextFailure = WriteFailure::DeviceGone;
            break;
        case 8:
            link.lineDrains();
            break;
        case 9:
            portLost(view, link, state);
            break;
        }
    }
    return 0;
}
