// SPDX-License-Identifier: GPL-3.0-or-later
#include "notetable.h"

std::optional<quint8> NoteCodeFor(QStringView name)
{
    for (const NoteEntry &entry : NoteTable) {
        if (entry.name == name)
            return entry.code;
    }
    return std::nullopt;
}
