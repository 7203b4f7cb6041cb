// SPDX-License-Identifier: GPL-3.0-or-later
#include "melodyfile.h"

#include "files.h"
#include "systemerrortext.h"

#include <QFileInfo>
#include <QStringDecoder>

#include <array>
#include <optional>

namespace {

// Windows-1252 from 0x80 to 0x9F; 0 where the code page leaves a byte undefined.
constexpr std::array<char16_t, 32> kWindows1252High{
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// Where a byte lies as an editor shows it: LF, CRLF and a lone CR each end a line, and the
// column counts characters, not bytes.
struct BytePosition {
    int line = 1;
    int column = 1;
};

BytePosition positionOf(QByteArrayView bytes, qsizetype offset)
{
    BytePosition position;
    qsizetype lineStart = 0;
    for (qsizetype i = 0; i < offset; ++i) {
        const bool lineEnd = bytes[i] == '\n' ||
                             (bytes[i] == '\r' && (i + 1 >= bytes.size() || bytes[i + 1] != '\n'));
        if (lineEnd) {
            ++position.line;
            lineStart = i + 1;
        }
    }
    QStringDecoder decoder(QStringDecoder::Utf8);
    position.column = int(QString(decoder(bytes.sliced(lineStart, offset - lineStart))).size()) + 1;
    return position;
}

QString byteText(QByteArrayView bytes, qsizetype offset)
{
    return QString::number(quint8(bytes[offset]), 16).toUpper().rightJustified(2, u'0');
}

QString undecodable(const QByteArray &bytes, qsizetype offset, const QString &tried)
{
    return QStringLiteral("Texte illisible : l'octet 0x%1 (ligne %2) n'est pas du %3. "
                          "Enregistrez le fichier en UTF-8.")
        .arg(byteText(bytes, offset), QString::number(positionOf(bytes, offset).line), tried);
}

// A file that is UTF-8 but for a few stray bytes: reading it all as Windows-1252 would garble
// every correct accent, so the stray byte is pointed at instead.
QString strayInUtf8(const QByteArray &bytes, qsizetype offset)
{
    const BytePosition position = positionOf(bytes, offset);
    return QStringLiteral("Texte illisible : l'octet 0x%1 (ligne %2, colonne %3) n'est pas de "
                          "l'UTF-8, alors que le reste du fichier en est. Corrigez ce caractère, "
                          "puis enregistrez le fichier en UTF-8.")
        .arg(byteText(bytes, offset), QString::number(position.line),
             QString::number(position.column));
}

std::optional<QString> strictUtf8(QByteArrayView bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

qsizetype firstBadUtf8(QByteArrayView bytes)
{
    // The longest prefix that decodes cleanly ends where the fault is.
    qsizetype good = 0;
    qsizetype bad = bytes.size();
    while (bad - good > 1) {
        const qsizetype middle = (good + bad) / 2;
        QStringDecoder decoder(QStringDecoder::Utf8);
        (void)QString(decoder(bytes.first(middle)));
        if (!decoder.hasError())
            good = middle;
        else
            bad = middle;
    }
    // The decoder trips on the byte after a cut sequence: point at the sequence's lead byte.
    qsizetype at = good;
    if (at > 0 && quint8(bytes[at]) < 0x80) {
        --at;
        while (at > 0 && (quint8(bytes[at]) & 0xC0) == 0x80)
            --at;
    }
    return at;
}

// Whether the bytes hold at least one well-formed UTF-8 sequence of two bytes or more.
bool hasUtf8Sequence(QByteArrayView bytes)
{
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const quint8 lead = quint8(bytes[i]);
        const int length = lead >= 0xF0 && lead <= 0xF4   ? 4
                           : lead >= 0xE0 && lead <= 0xEF ? 3
                           : lead >= 0xC2 && lead <= 0xDF ? 2
                                                          : 0;
        if (length == 0 || i + length > bytes.size())
            continue;
        if (strictUtf8(bytes.sliced(i, length)))
            return true;
    }
    return false;
}

// Text saved as UTF-16 without its byte-order mark: mostly ASCII, so every other byte is NUL.
bool looksLikeUtf16(QByteArrayView bytes)
{
    if (bytes.size() < 2 || bytes.size() % 2 != 0)
        return false;
    qsizetype evenNuls = 0;
    qsizetype oddNuls = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\0')
            ++(i % 2 == 0 ? evenNuls : oddNuls);
    }
    const qsizetype half = bytes.size() / 2;
    return (evenNuls * 2 > half && oddNuls == 0) || (oddNuls * 2 > half && evenNuls == 0);
}

// A lone CR ends a line as LF and CRLF do (old Mac editors); CRLF stays for the readers.
QString withLineFeeds(QString text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r' && (i + 1 >= text.size() || text[i + 1] != u'\n'))
            text[i] = u'\n';
    }
    return text;
}

QString textWithoutControls(const QString &text, QString &problem)
{
    int line = 1;
    for (QChar c : text) {
        if (c == u'\n')
            ++line;
        else if ((c.unicode() < 0x20 && c != u'\t' && c != u'\r') || c == u'\x7f') {
            problem = QStringLiteral("Fichier binaire : caractère de contrôle U+%1 à la ligne %2, "
                                     "ce n'est pas une mélodie en texte.")
                          .arg(QString::number(c.unicode(), 16).toUpper().rightJustified(4, u'0'),
                               QString::number(line));
            return {};
        }
    }
    return text;
}

} // namespace

MelodyFile::Bytes MelodyFile::readBytes(const QString &path)
{
    // Read one byte past the limit rather than trust the size: a pipe has none.
    const FileRead file = readFile(path, kMaxSize);
    // The caller names the file: the system's answer, in French, is all that is said here.
    if (file.error == SystemError::IsADirectory)
        return {{}, QStringLiteral("c'est un dossier, pas un fichier de mélodie.")};
    if (file.error != SystemError::None)
        return {{},
                QStringLiteral("Impossible de lire le fichier : %1.")
                    .arg(systemErrorText(file.error, QStringLiteral("erreur du système")))};
    if (file.tooBig)
        return {{},
                QStringLiteral("Fichier trop gros : plus de %1 octets (1 Mio), ce n'est pas une "
                               "mélodie de 31 notes.")
                    .arg(kMaxSize)};
    return {file.bytes, {}};
}

MelodyFile::Text MelodyFile::read(const QString &path)
{
    const Bytes file = readBytes(path);
    if (!file.ok())
        return {{}, file.problem};
    return decode(file.bytes);
}

MelodyFile::Text MelodyFile::decode(const QByteArray &bytes)
{
    Text result;
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        QStringDecoder decoder(bytes.startsWith("\xFF\xFE") ? QStringDecoder::Utf16LE
                                                            : QStringDecoder::Utf16BE);
        result.text = decoder(QByteArrayView(bytes).sliced(2));
        if (decoder.hasError() || bytes.size() % 2 != 0)
            return {{},
                    QStringLiteral("Texte illisible : ce n'est pas de l'UTF-16 valide. "
                                   "Enregistrez le fichier en UTF-8.")};
    } else if (bytes.startsWith("\xEF\xBB\xBF")) {
        const QByteArrayView body = QByteArrayView(bytes).sliced(3);
        const std::optional<QString> text = strictUtf8(body);
        if (!text)
            return {{}, undecodable(bytes, 3 + firstBadUtf8(body), QStringLiteral("UTF-8"))};
        result.text = *text;
    } else if (looksLikeUtf16(bytes)) {
        return {{},
                QStringLiteral("Texte en UTF-16 sans marque d'ordre des octets (BOM) : "
                               "enregistrez le fichier en UTF-8.")};
    } else if (const qsizetype nul = bytes.indexOf('\0'); nul >= 0) {
        return {{},
                QStringLiteral("Fichier binaire : octet nul à la ligne %1, ce n'est pas une "
                               "mélodie en texte.")
                    .arg(positionOf(bytes, nul).line)};
    } else if (const std::optional<QString> text = strictUtf8(bytes)) {
        result.text = *text;
    } else if (hasUtf8Sequence(bytes)) {
        return {{}, strayInUtf8(bytes, firstBadUtf8(bytes))};
    } else {
        // Not UTF-8: a spreadsheet on Windows writes Windows-1252.
        result.text.reserve(bytes.size());
        for (qsizetype i = 0; i < bytes.size(); ++i) {
            const quint8 byte = quint8(bytes[i]);
            const char16_t unit =
                byte >= 0x80 && byte < 0xA0 ? kWindows1252High[byte - 0x80] : char16_t(byte);
            if (unit == 0)
                return {{}, undecodable(bytes, i, QStringLiteral("UTF-8 ni du Windows-1252"))};
            result.text.append(QChar(unit));
        }
    }
    result.text = textWithoutControls(withLineFeeds(result.text), result.problem);
    return result;
}

MelodyFormat MelodyFile::formatOf(const QString &path, const QString &text)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == u"rtttl" || suffix == u"rtx")
        return MelodyFormat::Rtttl;
    if (suffix == u"csv" || suffix == u"tsv")
        return MelodyFormat::Table;
    for (QStringView line : QStringView(text).split(u'\n')) {
        const QStringView content = line.trimmed();
        if (content.isEmpty() || content.startsWith(u'#'))
            continue;
        return content.count(u':') >= 2 ? MelodyFormat::Rtttl : MelodyFormat::Table;
    }
    return MelodyFormat::Table;
}
