// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "midiquestions.h"

class QWidget;

// The window's own answers to MidiQuestions: modal dialogs titled "Tinkora".
class MidiDialogs : public MidiQuestions {
public:
    explicit MidiDialogs(QWidget &window);

    std::optional<int> chooseLine(const QString &shownName,
                                  const std::vector<MelodyLine> &lines) override;
    bool takeExcerpt(int lineNotes, int lastNote) override;
    std::optional<int> chooseTempo(const QString &shownName) override;

private:
    QWidget &m_window;
};
