// SPDX-License-Identifier: GPL-3.0-or-later
#include "helplayout.h"

#include <QStringList>

namespace {

QString wrappedLine(const QString &words, qsizetype used, const QString &indent)
{
    constexpr qsizetype kLineWidth = 79;
    QString text;
    for (const QString &word : words.split(u' ')) {
        if (!text.isEmpty() && used + 1 + word.size() > kLineWidth) {
            text += u'\n' + indent;
            used = indent.size();
        } else if (!text.isEmpty()) {
            text += u' ';
            ++used;
        }
        text += word;
        used += word.size();
    }
    return text + u'\n';
}

} // namespace

QString wrapped(const QString &words, qsizetype used, const QString &indent)
{
    QString text;
    for (const QString &line : words.split(u'\n')) {
        if (!text.isEmpty()) {
            text += indent;
            used = indent.size();
        }
        text += wrappedLine(line, used, indent);
    }
    return text;
}

QString helpLine(const QString &left, qsizetype width, const QString &help)
{
    const QString indent(width + 4, u' ');
    return QStringLiteral("  ") + left.leftJustified(width) + QStringLiteral("  ") +
           wrapped(help, indent.size(), indent);
}
