// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringView>

enum class ChoiceList { tempo, notes, duree };
enum class DisplayField { Text1, Text2 };

// What a list shows before anything is chosen in it; a transfer refuses a list left at it.
constexpr QStringView placeholderText(ChoiceList list)
{
    switch (list) {
    case ChoiceList::tempo:
        return u"Tempo";
    case ChoiceList::notes:
        return u"Notes";
    case ChoiceList::duree:
        return u"Durée";
    }
    return {};
}

// What the transfer command needs of the window.
class TransferView {
public:
    virtual ~TransferView() = default;

    // The text in the list's edit field, chosen or typed.
    virtual QString ListText(ChoiceList list) const = 0;
    // A modal warning; returns once the user has dismissed it.
    virtual void ShowWarning(const QString &text) = 0;
    // Sets the field's text and repaints it at once.
    virtual void SetDisplayText(DisplayField field, const QString &text) = 0;
};
