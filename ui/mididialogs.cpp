// SPDX-License-Identifier: GPL-3.0-or-later
#include "mididialogs.h"

#include "melodymessages.h"
#include "sendquestion.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QInputDialog>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int kStartTempo = 120; // the tempo of a MIDI file that gives none

} // namespace

MidiDialogs::MidiDialogs(QWidget &window)
    : m_window(window)
{
}

std::optional<int> MidiDialogs::chooseLine(const QString &shownName,
                                           const std::vector<MelodyLine> &lines)
{
    QDialog dialog(&m_window);
    dialog.setObjectName(QStringLiteral("midiLineDialog"));
    dialog.setWindowTitle(QStringLiteral("Tinkora"));
    auto *text = new QLabel(chooseMidiLineText(shownName, int(lines.size())), &dialog);
    text->setTextFormat(Qt::PlainText);
    auto *list = new QListWidget(&dialog);
    list->setObjectName(QStringLiteral("midiLines"));
    for (const MelodyLine &line : lines)
        list->addItem(line.describe());
    list->setCurrentRow(0);
    auto *buttons = new QDialogButtonBox(&dialog);
    QPushButton *choose =
        buttons->addButton(QStringLiteral("Choisir"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("Annuler"), QDialogButtonBox::RejectRole);
    choose->setDefault(true);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    QObject::connect(list, &QListWidget::itemActivated, &dialog, &QDialog::accept);
    auto *layout = new QVBoxLayout(&dialog);
    layout->addWidget(text);
    layout->addWidget(list);
    layout->addWidget(buttons);
    list->setFocus();
    if (dialog.exec() != QDialog::Accepted || list->currentRow() < 0)
        return std::nullopt;
    return list->currentRow();
}

bool MidiDialogs::takeExcerpt(int lineNotes, int lastNote)
{
    return askToSend(&m_window, sendExcerptQuestion(lineNotes, lastNote));
}

std::optional<int> MidiDialogs::chooseTempo(const QString &shownName)
{
    QInputDialog dialog(&m_window);
    dialog.setObjectName(QStringLiteral("midiTempoDialog"));
    dialog.setWindowTitle(QStringLiteral("Tinkora"));
    dialog.setInputMode(QInputDialog::IntInput);
    dialog.setLabelText(midiTempoQuestion(shownName));
    dialog.setIntRange(MelodyChoices::kLowestTempo, MelodyChoices::kHighestTempo);
    dialog.setIntValue(kStartTempo);
    dialog.setOkButtonText(QStringLiteral("OK"));
    dialog.setCancelButtonText(QStringLiteral("Annuler"));
    if (auto *label = dialog.findChild<QLabel *>())
        label->setWordWrap(true); // a sentence, not a field's name
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.intValue();
}
