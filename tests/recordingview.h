// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "transferview.h"

#include <QStringList>

// Stands in for the window: list texts are set by the test, warnings and display texts recorded.
class RecordingView : public TransferView {
public:
    QString tempo = QStringLiteral("Tempo");
    QString notes = QStringLiteral("Notes");
    QString duree = QStringLiteral("Durée");
    QStringList warnings;
    QString text1 = QStringLiteral("Note N°");
    QString text2 = QStringLiteral("@EEPROM");

    void choose(const QString &newTempo, const QString &newNote, const QString &newValue)
    {
        tempo = newTempo;
        notes = newNote;
        duree = newValue;
    }

    QString ListText(ChoiceList list) const override
    {
        switch (list) {
        case ChoiceList::tempo:
            return tempo;
        case ChoiceList::notes:
            return notes;
        case ChoiceList::duree:
            return duree;
        }
        return {};
    }
    void ShowWarning(const QString &text) override { warnings.append(text); }
    void SetDisplayText(DisplayField field, const QString &text) override
    {
        (field == DisplayField::Text1 ? text1 : text2) = text;
    }
};
