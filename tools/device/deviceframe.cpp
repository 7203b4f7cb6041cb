// SPDX-License-Identifier: GPL-3.0-or-later
#include "deviceframe.h"

#include "notetable.h"

QStringList DeviceFrame::problems() const
{
    QStringList found;
    if (address % 2 != 0)
        found << QStringLiteral("adresse impaire");
    if (address > kLastAddress)
        found << QStringLiteral("adresse au-delà de %1").arg(kLastAddress);
    if (noteCode > kLastNoteCode)
        found << QStringLiteral("code de note au-delà de %1").arg(kLastNoteCode);
    if (durationByte == 0)
        found << QStringLiteral("durée nulle");
    return found;
}

QString DeviceFrame::describe() const
{
    const QString slotText = isSlotAddress() ? QString::number(slot()) : QStringLiteral("?");
    const int units = durationUnits(durationByte);
    QString line = QStringLiteral("Note %1 @%2 : %3, %4 (%5)")
                       .arg(slotText, QString::number(address), noteName(noteCode),
                            QString::number(durationByte), formatSeconds(units));
    const QStringList found = problems();
    if (!found.isEmpty())
        line += QStringLiteral("  !! %1").arg(found.join(QStringLiteral(", ")));
    return line;
}

QString formatSeconds(int units)
{
    return QStringLiteral("%1,%2 s").arg(units / 100).arg(units % 100, 2, 10, QLatin1Char('0'));
}

QString noteName(quint8 noteCode)
{
    if (noteCode == 0)
        return QStringLiteral("silence");
    for (const NoteEntry &entry : NoteTable) {
        if (entry.code == noteCode)
            return entry.name.toString();
    }
    return QStringLiteral("?");
}
