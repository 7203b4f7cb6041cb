// SPDX-License-Identifier: GPL-3.0-or-later
#include "showntext.h"

#include <QList>
#include <QStringDecoder>

namespace {

bool isValidUtf8(QByteArrayView bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    [[maybe_unused]] const QString decoded = decoder(bytes);
    return !decoder.hasError();
}

// Length of the valid UTF-8 sequence at the start of bytes, 0 when there is none.
qsizetype sequenceLength(QByteArrayView bytes)
{
    const auto lead = static_cast<uchar>(bytes.front());
    const qsizetype length = lead < 0x80 ? 1 : lead >= 0xf0 ? 4 : lead >= 0xe0 ? 3 : 2;
    if ((lead >= 0x80 && (lead < 0xc2 || lead > 0xf4)) || bytes.size() < length)
        return 0;
    return isValidUtf8(bytes.first(length)) ? length : 0;
}

QString escaped(QByteArrayView bytes)
{
    QString result;
    for (const char byte : bytes)
        result += QStringLiteral("\\x%1").arg(uint(static_cast<uchar>(byte)), 2, 16, QChar(u'0'));
    return result;
}

// Characters that show nothing, or move what is around them.
bool isInvisible(char32_t c)
{
    switch (QChar::category(c)) {
    case QChar::Other_Control:
    case QChar::Other_Format:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
        return true;
    case QChar::Separator_Space:
        return c != U' ';
    default:
        // Fillers that look like nothing: combining grapheme joiner, Hangul fillers.
        return c == 0x034f || c == 0x115f || c == 0x1160 || c == 0x3164 || c == 0xffa0;
    }
}

} // namespace

QString shownAsTyped(QByteArrayView bytes)
{
    QString shown;
    for (qsizetype i = 0; i < bytes.size();) {
        const QByteArrayView rest = bytes.sliced(i);
        const qsizetype length = sequenceLength(rest);
        if (length == 0) {
            shown += escaped(rest.first(1));
            ++i;
            continue;
        }
        const QString character = QString::fromUtf8(rest.first(length));
        if (character == u"\\")
            shown += QStringLiteral("\\\\");
        else if (isInvisible(character.toUcs4().constFirst()))
            shown += escaped(rest.first(length));
        else
            shown += character;
        i += length;
    }
    return shown;
}

QString shownAsTyped(const QString &text)
{
    return shownAsTyped(QByteArrayView(text.toUtf8()));
}

QString quotedUserText(const QString &text)
{
    constexpr qsizetype kMaxShown = 40;
    QString cut = text;
    bool shortened = false;
    if (cut.size() > kMaxShown) {
        cut.truncate(kMaxShown);
        if (cut.back().isHighSurrogate())
            cut.chop(1);
        shortened = true;
    }
    QString shown;
    for (const char32_t c : cut.toUcs4()) {
        if (isInvisible(c))
            shown += QStringLiteral("[U+%1]").arg(uint(c), 4, 16, QChar(u'0')).toUpper();
        else
            shown += QString::fromUcs4(&c, 1);
    }
    if (shortened)
        shown += u'…';
    // First-strong isolate ... pop directional isolate.
    return QStringLiteral("« \u2068%1\u2069 »").arg(shown);
}

QString forTerminal(QString sentence)
{
    // Typed text never brings its own: quotedUserText shows them as [U+2068] and [U+2069].
    return sentence.remove(u'\u2068').remove(u'\u2069');
}
