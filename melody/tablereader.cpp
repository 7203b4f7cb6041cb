// SPDX-License-Identifier: GPL-3.0-or-later
#include "tablereader.h"

#include <array>

namespace {

constexpr int kFields = 3;

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

QStringView trimmed(QStringView text, qsizetype &start)
{
    start = 0;
    while (start < text.size() && isBlank(text[start]))
        ++start;
    qsizetype end = text.size();
    while (end > start && isBlank(text[end - 1]))
        --end;
    return text.sliced(start, end - start);
}

// Spreadsheets quote a field now and then: "120" is 120.
QString unquoted(QStringView field)
{
    if (field.size() >= 2 && field.front() == u'"' && field.back() == u'"')
        return field.sliced(1, field.size() - 2)
            .toString()
            .replace(QStringLiteral("\"\""), QStringLiteral("\""));
    return field.toString();
}

QChar separatorOf(QStringView line)
{
    for (QChar candidate : {QChar(u'\t'), QChar(u';'), QChar(u',')}) {
        if (line.contains(candidate))
            return candidate;
    }
    return QChar(u';');
}

bool isTitleLine(const std::array<QString, kFields> &fields)
{
    const auto is = [](const QString &field, std::initializer_list<const char16_t *> words) {
        for (const char16_t *word : words) {
            if (field.compare(QStringView(word), Qt::CaseInsensitive) == 0)
                return true;
        }
        return false;
    };
    return is(fields[0], {u"Tempo"}) && is(fields[1], {u"Notes", u"Note"}) &&
           is(fields[2], {u"Durée", u"Duree", u"Valeur", u"Valeur de note"});
}

} // namespace

MelodyReading TableReader::read(QStringView text)
{
    MelodyReading reading;
    QChar separator;
    bool firstLine = true;
    int lineNumber = 0;
    for (QStringView line : text.split(u'\n')) {
        ++lineNumber;
        if (line.endsWith(u'\r'))
            line.chop(1);
        qsizetype indent = 0;
        const QStringView content = trimmed(line, indent);
        if (content.isEmpty() || content.startsWith(u'#'))
            continue;
        if (separator.isNull())
            separator = separatorOf(content);

        std::array<QString, kFields> fields;
        std::array<int, kFields> columns{};
        int count = 0;
        int filled = 0; // up to the last field that holds something
        qsizetype fieldStart = 0;
        for (QStringView raw : line.split(separator)) {
            qsizetype offset = 0;
            const QStringView field = trimmed(raw, offset);
            if (count < kFields) {
                fields[count] = unquoted(field);
                columns[count] = int(fieldStart + offset + 1);
            }
            ++count;
            if (!field.isEmpty())
                filled = count;
            fieldStart += raw.size() + 1;
        }
        // A spreadsheet writes the empty columns right of the table as trailing separators.
        if (count > kFields && filled <= kFields)
            count = kFields;
        if (firstLine && count == kFields && isTitleLine(fields)) {
            firstLine = false;
            continue;
        }
        firstLine = false;
        if (count != kFields) {
            reading.problems.push_back(
                {lineNumber,
                 int(indent + 1),
                 QStringLiteral("%1 au lieu de 3 : écrivez « tempo%2note%2valeur de "
                                "note », par exemple « 120%2La3%2Noire ».")
                     .arg(count == 1 ? QStringLiteral("1 champ")
                                     : QStringLiteral("%1 champs").arg(count),
                          separator == u'\t' ? QStringLiteral("<tab>") : QString(separator)),
                 {}});
            continue;
        }
        reading.notes.push_back({lineNumber,
                                 {fields[0], columns[0], {}},
                                 {fields[1], columns[1], {}},
                                 {fields[2], columns[2], {}}});
    }
    return reading;
}
