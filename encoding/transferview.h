// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

enum class ChoiceList { tempo, notes, duree };
enum class DisplayField { Text1, Text2 };

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
