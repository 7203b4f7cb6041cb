// SPDX-License-Identifier: GPL-3.0-or-later
#include "windowfont.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QFontMetrics>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOption>

#include <algorithm>

namespace {

// 12 px is 9 points at 96 DPI; below 9 px the note names stop being readable.
constexpr int kLargestPixelSize = 12;
constexpr int kSmallestPixelSize = 9;
// Desktop families ship a normal and a condensed face; each face tried is a font loaded before
// the window first shows, so the semi-condensed step between them is left out.
constexpr int kStretches[] = {QFont::Unstretched, QFont::Condensed};

// QLineEdit keeps 2 pixels on each side of its text, and one more for the cursor at the end.
constexpr int kLineEditMargins = 2 * 2 + 1;

// Some styles (Adwaita) pad the text of a field by 8 pixels a side, made for boxes twice as
// high as these; more than this would leave too little room for the text itself.
constexpr int kLargestTextMargin = 2;

void capTextMargins(QLineEdit *edit)
{
    QMargins margins = edit->textMargins();
    margins.setLeft(std::min(margins.left(), kLargestTextMargin));
    margins.setRight(std::min(margins.right(), kLargestTextMargin));
    edit->setTextMargins(margins);
}

int lineEditRoom(const QLineEdit *edit, const QRect &rect)
{
    QStyleOptionFrame option;
    option.initFrom(edit);
    option.rect = rect;
    option.lineWidth = edit->hasFrame()
                           ? edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, edit)
                           : 0;
    const QRect contents =
        edit->style()->subElementRect(QStyle::SE_LineEditContents, &option, edit);
    const QMargins margins = edit->textMargins();
    return contents.width() - margins.left() - margins.right() - kLineEditMargins;
}

int listRoom(const QComboBox *list)
{
    QStyleOptionComboBox option;
    option.initFrom(list);
    option.editable = list->isEditable();
    option.frame = list->hasFrame();
    option.subControls = QStyle::SC_All;
    const QRect field = list->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                      QStyle::SC_ComboBoxEditField, list);
    if (const QLineEdit *edit = list->lineEdit()) // a frameless line edit fills that field
        return field.width() - edit->textMargins().left() - edit->textMargins().right() -
               kLineEditMargins;
    return field.width();
}

bool fits(const TextsInBox &box, int room, const QFontMetrics &metrics)
{
    for (const QString &text : box.texts) {
        if (metrics.horizontalAdvance(text) > room)
            return false;
    }
    return true;
}

} // namespace

int textRoom(const QWidget *control)
{
    if (const auto *list = qobject_cast<const QComboBox *>(control))
        return listRoom(list);
    if (const auto *edit = qobject_cast<const QLineEdit *>(control))
        return lineEditRoom(edit, edit->rect());
    if (const auto *button = qobject_cast<const QAbstractButton *>(control)) {
        // What the button would need beyond its text.
        const QFontMetrics metrics(button->font());
        const int textWidth = metrics.horizontalAdvance(button->text());
        return button->width() - (button->sizeHint().width() - textWidth);
    }
    return control->width();
}

void fitWindowFont(QWidget *window, const QList<TextsInBox> &boxes)
{
    window->ensurePolished(); // the style sets its margins when it polishes a control
    for (QLineEdit *edit : window->findChildren<QLineEdit *>())
        capTextMargins(edit);
    // The room is the style's business, not the font's (a button's spacing shrinks with the font,
    // so measuring it at the start font errs on the safe side): measured once, then each
    // candidate font is only measured, and the window changes font once.
    QList<int> rooms;
    for (const TextsInBox &box : boxes)
        rooms.append(textRoom(box.control));
    QFont font = window->font();
    for (int size = kLargestPixelSize; size >= kSmallestPixelSize; --size) {
        for (const int stretch : kStretches) {
            font.setPixelSize(size);
            font.setStretch(stretch);
            const QFontMetrics metrics(font);
            bool all = true;
            for (qsizetype i = 0; all && i < boxes.size(); ++i)
                all = fits(boxes[i], rooms[i], metrics);
            if (all) {
                window->setFont(font);
                return;
            }
        }
    }
    window->setFont(font); // the smallest tried: the closest to fitting
}
