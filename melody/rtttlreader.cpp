// SPDX-License-Identifier: GPL-3.0-or-later
#include "rtttlreader.h"

#include "durationtable.h"
#include "notetable.h"
#include "octavefit.h"
#include "rtttlnote.h"
#include "showntext.h"
#include "tempolist.h"
#include "textpositions.h"

#include <algorithm>
#include <optional>

namespace {

constexpr int kHighestCode = int(NoteTable.size());
constexpr int kOctave = 12;
// Beyond the longest note value's dividend, every note would last 0 units.
constexpr int kHighestTempo = DurationTable.front().dividend;

struct Item {
    QStringView text;
    qsizetype offset = 0;
};

bool isSpace(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

// The comma-separated items of a section, without the spaces and line breaks around them.
std::vector<Item> itemsOf(QStringView section, qsizetype base)
{
    std::vector<Item> items;
    qsizetype start = 0;
    for (QStringView raw : section.split(u',')) {
        qsizetype begin = 0;
        qsizetype end = raw.size();
        while (begin < end && isSpace(raw[begin]))
            ++begin;
        while (end > begin && isSpace(raw[end - 1]))
            --end;
        items.push_back({raw.sliced(begin, end - begin), base + start + begin});
        start += raw.size() + 1;
    }
    return items;
}

// Lines starting with "#" are comments; blanking them keeps every offset where it was.
QString withoutComments(QStringView text)
{
    QString result = text.toString();
    qsizetype lineStart = 0;
    while (lineStart < result.size()) {
        qsizetype lineEnd = result.indexOf(u'\n', lineStart);
        if (lineEnd < 0)
            lineEnd = result.size();
        qsizetype first = lineStart;
        while (first < lineEnd && (result[first] == u' ' || result[first] == u'\t'))
            ++first;
        if (first < lineEnd && result[first] == u'#')
            result.replace(first, lineEnd - first, QString(lineEnd - first, u' '));
        lineStart = lineEnd + 1;
    }
    return result;
}

struct Defaults {
    int duration = 4;
    int octave = 6;
    QString tempo = QStringLiteral("63");
};

struct ParsedNote {
    Item item;
    int code = 0; // before any octave shift; may lie outside the table
    qsizetype valueIndex = 0;
};

class Parser {
public:
    Parser(QStringView text, bool skipRests)
        : m_text(withoutComments(text))
        , m_positions(m_text)
        , m_skipRests(skipRests)
    {
    }

    MelodyReading run()
    {
        const qsizetype first = m_text.indexOf(u':');
        const qsizetype second = first < 0 ? -1 : m_text.indexOf(u':', first + 1);
        if (second < 0) {
            m_reading.problems.push_back({1,
                                          0,
                                          QStringLiteral("Ce n'est pas une mélodie RTTTL : attendu "
                                                         "« nom:d=4,o=5,b=120:notes »."),
                                          {}});
            return m_reading;
        }
        const qsizetype third = m_text.indexOf(u':', second + 1);
        if (third >= 0) {
            problem(third, QStringLiteral("Une seule mélodie par fichier : « : » inattendu."));
            return m_reading;
        }
        readDefaults(QStringView(m_text).sliced(first + 1, second - first - 1), first + 1);
        readNotes(QStringView(m_text).sliced(second + 1), second + 1);
        fitOctaves();
        return m_reading;
    }

private:
    void problem(qsizetype offset, const QString &text)
    {
        m_reading.problems.push_back(
            {m_positions.line(offset), m_positions.column(offset), text, {}});
    }

    void readDefaults(QStringView section, qsizetype base)
    {
        for (const Item &item : itemsOf(section, base)) {
            if (item.text.isEmpty())
                continue;
            const qsizetype equals = item.text.indexOf(u'=');
            const QStringView key = item.text.left(std::max<qsizetype>(equals, 0)).trimmed();
            const QStringView digits = item.text.sliced(equals + 1).trimmed();
            const std::optional<int> value = equals < 0 ? std::nullopt : RtttlNote::number(digits);
            const QChar name = key.size() == 1 ? key[0].toLower() : QChar();
            const int number = value.value_or(0); // read below only when there is one
            if (name == u'b' && equals >= 0) {
                readTempo(item, digits);
            } else if (!value || (name != u'd' && name != u'o')) {
                problem(item.offset,
                        QStringLiteral("Réglage RTTTL inconnu %1 : attendu d=, o= ou b= "
                                       "suivi d'un nombre.")
                            .arg(quotedUserText(item.text.toString())));
            } else if (name == u'd') {
                // 32 is RTTTL, and refused only at the notes that use it.
                RtttlNote plain;
                plain.duration = number;
                if (!plain.valueIndex() && number != 32)
                    problem(item.offset,
                            QStringLiteral("Durée par défaut %1 impossible : 1, 2, 4, 8 ou 16.")
                                .arg(quotedUserText(item.text.toString())));
                else
                    m_defaults.duration = number;
            } else if (name == u'o') {
                if (number > 9)
                    problem(item.offset,
                            QStringLiteral("Octave par défaut %1 impossible : de 0 à 9.")
                                .arg(quotedUserText(item.text.toString())));
                else
                    m_defaults.octave = number;
            }
        }
    }

    // The window's own reading of a tempo (a sign allowed), within what a note can last.
    void readTempo(const Item &item, QStringView digits)
    {
        const std::optional<int> whole = RtttlNote::number(digits); // capped, never overflows
        const std::optional<qint32> tempo =
            whole ? std::optional<qint32>(*whole) : parseTempo(digits);
        const QString shown = quotedUserText(item.text.toString());
        if (!tempo || *tempo <= 0) {
            // A zero tempo is said once here, not again at every note.
            problem(item.offset,
                    QStringLiteral("Tempo invalide : %1. Indiquez un nombre entier supérieur à 0.")
                        .arg(shown));
        } else if (*tempo > kHighestTempo) {
            problem(item.offset,
                    QStringLiteral("Tempo trop grand : %1. Indiquez b= de 1 à %2 : au-delà, "
                                   "aucune valeur de note ne dure une unité.")
                        .arg(shown, QString::number(kHighestTempo)));
        } else {
            m_defaults.tempo = QString::number(*tempo);
        }
    }

    void readNotes(QStringView section, qsizetype base)
    {
        std::vector<Item> items = itemsOf(section, base);
        if (!items.empty() && items.back().text.isEmpty())
            items.pop_back(); // a comma after the last note
        int rests = 0;
        for (const Item &item : items) {
            if (std::optional<ParsedNote> note = readNote(item, rests))
                m_notes.push_back(*note);
        }
        if (rests > 0)
            m_reading.remarks << (rests == 1 ? QStringLiteral("1 silence ignoré (--skip-rests) : "
                                                              "les notes suivantes sont avancées "
                                                              "d'autant.")
                                             : QStringLiteral("%1 silences ignorés (--skip-rests) "
                                                              ": les notes suivantes sont avancées "
                                                              "d'autant.")
                                                   .arg(rests));
        if (items.empty())
            problem(base, QStringLiteral("Aucune note après le deuxième « : »."));
    }

    std::optional<ParsedNote> readNote(const Item &item, int &rests)
    {
        const QString text = quotedUserText(item.text.toString());
        const RtttlNote note = RtttlNote::parse(item.text, m_defaults.duration, m_defaults.octave);
        switch (note.kind) {
        case RtttlNote::Kind::Unreadable:
            problem(item.offset, QStringLiteral("Note RTTTL illisible %1 : attendu par exemple "
                                                "« 8e6 », « 4c#5 » ou « 2.g5 ».")
                                     .arg(text));
            return std::nullopt;
        case RtttlNote::Kind::Rest:
            if (m_skipRests)
                ++rests;
            else
                problem(item.offset,
                        QStringLiteral("Silence %1 impossible : la carte ne joue que des "
                                       "notes. Retirez-le, ou relancez avec --skip-rests.")
                            .arg(text));
            return std::nullopt;
        case RtttlNote::Kind::Note:
            break;
        }

        const std::optional<qsizetype> index = note.valueIndex();
        if (!index) {
            problem(item.offset,
                    note.duration == 1
                        ? QStringLiteral("Ronde pointée impossible %1 : la plus longue valeur "
                                         "est la ronde.")
                              .arg(text)
                    : note.duration == RtttlNote::kTooBig
                        ? QStringLiteral("Durée trop grande : %1. Indiquez 1, 2, 4, 8 ou 16, "
                                         "pointée ou non.")
                              .arg(text)
                        : QStringLiteral("Durée %1 impossible %2 : 1, 2, 4, 8 ou 16, pointée "
                                         "ou non.")
                              .arg(QString::number(note.duration), text));
        }
        const bool octaveOk = note.octave && *note.octave <= 9;
        if (!octaveOk)
            problem(item.offset, QStringLiteral("Octave impossible %1 : de 0 à 9.").arg(text));
        if (!index || !octaveOk)
            return std::nullopt;
        return ParsedNote{item, note.code(), *index};
    }

    void fitOctaves()
    {
        if (m_notes.empty())
            return;
        const auto [low, high] = std::minmax_element(
            m_notes.begin(), m_notes.end(),
            [](const ParsedNote &a, const ParsedNote &b) { return a.code < b.code; });
        const std::optional<int> shift = OctaveFit::shiftFor(low->code, high->code);
        if (!shift) {
            // Read in order, the later of the two is where the melody stopped fitting.
            problem(std::max(low->item.offset, high->item.offset),
                    QStringLiteral("La mélodie va de « %1 » à « %2 » : déplacée d'octaves "
                                   "entières, elle ne tient pas dans les %3 notes de %4 à %5.")
                        .arg(low->item.text.toString(), high->item.text.toString(),
                             QString::number(kHighestCode), NoteTable.front().name.toString(),
                             NoteTable.back().name.toString()));
            return;
        }
        if (*shift != 0)
            m_reading.remarks << OctaveFit::remark(*shift);
        for (const ParsedNote &note : m_notes) {
            const int line = m_positions.line(note.item.offset);
            const int column = m_positions.column(note.item.offset);
            m_reading.notes.push_back(
                {line,
                 {m_defaults.tempo, column, {}},
                 {NoteTable[note.code + kOctave * *shift - 1].name.toString(), column, {}},
                 {DurationTable[note.valueIndex].name.toString(), column, {}}});
        }
    }

    QString m_text;
    TextPositions m_positions;
    bool m_skipRests;
    Defaults m_defaults;
    std::vector<ParsedNote> m_notes;
    MelodyReading m_reading;
};

} // namespace

MelodyReading RtttlReader::read(QStringView text, bool skipRests)
{
    return Parser(text, skipRests).run();
}
