// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "bytes.h"
#include "notetable.h"

#include <QByteArray>
#include <QProcess>
#include <QRegularExpression>
#include <QStringList>

// The frames tinkora-send's dry run lists for a file, as bytes on the line; the test defines
// TINKORA_SEND as the program's path.
inline QByteArray dryRunFrames(const QString &file, const QStringList &options = {})
{
    QProcess send;
    send.start(QStringLiteral(TINKORA_SEND), QStringList{file, u"--dry-run"_qs} + options);
    send.waitForFinished();
    static const QRegularExpression line(u"^Note \\d+ @(\\d+) : (\\S+), .* \\((\\d+)\\)$"_qs,
                                         QRegularExpression::MultilineOption);
    QByteArray wire;
    for (const QRegularExpressionMatch &match :
         line.globalMatch(QString::fromUtf8(send.readAllStandardOutput()))) {
        wire += bytes({match.captured(1).toInt(), NoteCodeFor(match.captured(2)).value_or(0),
                       match.captured(3).toInt()});
    }
    return wire;
}
