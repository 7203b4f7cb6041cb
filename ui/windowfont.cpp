// SPDX-License-Identifier: GPL-3.0-or-later
#include "windowfont.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QFontMetrics>
#include <QHash>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOption>

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

// 12 px is 9 points at 96 DPI; below 9 px the note names stop being readable.
constexpr int kLargestPixelSize = 12;
constexpr int kSmallestPixelSize = 9;
// Where the search starts: the middle of the range, where desktop fonts usually land.
constexpr int kStartPixelSize = 11;
// Desktop families ship a normal and a condensed face; each face tried is a font loaded before
// the window first shows, so the semi-condensed step between them is left out.

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

// One text with the width its control leaves it.
struct TextInRoom {
    QString text;
    int room;
};

// The least room per character first: those texts are the likeliest to overflow, and a trial
// stops at the first text that does.
QList<TextInRoom> textsInRoom(const QList<TextsInBox> &boxes, const QList<int> &rooms)
{
    QList<TextInRoom> texts;
    for (qsizetype i = 0; i < boxes.size(); ++i) {
        for (const QString &text : boxes[i].texts)
            texts.append({text, rooms[i]});
    }
    auto tightness = [](const TextInRoom &t) {
        return double(t.room) / std::max<qsizetype>(1, t.text.size());
    };
    std::stable_sort(texts.begin(), texts.end(), [&](const TextInRoom &a, const TextInRoom &b) {
        return tightness(a) < tightness(b);
    });
    return texts;
}

// Shaping a text costs far more than adding up the advances of its characters, and in a Latin
// text kerning only ever takes a pixel or two off that sum: a text whose sum leaves this much
// room clearly fits, and only the others are shaped.
constexpr double kClearlyInside = 0.95;

class CharacterAdvances {
public:
    explicit CharacterAdvances(const QFontMetrics &metrics)
        : m_metrics(metrics)
    {
    }

    int sum(const QString &text)
    {
        int width = 0;
        for (const QChar c : text) {
            auto known = m_advances.constFind(c);
            if (known == m_advances.cend())
                known = m_advances.insert(c, m_metrics.horizontalAdvance(c));
            width += *known;
        }
        return width;
    }

private:
    const QFontMetrics &m_metrics;
    QHash<QChar, int> m_advances;
};

// A text that overflows at one font most likely overflows at the next one tried: it moves first.
// Returns how much of its room the fullest text measured takes (above 1 when one overflows).
double fullness(const QFont &font, QList<TextInRoom> &texts)
{
    const QFontMetrics metrics(font);
    CharacterAdvances advances(metrics);
    double fullest = 0;
    for (qsizetype i = 0; i < texts.size(); ++i) {
        const double room = std::max(1, texts[i].room);
        double share = advances.sum(texts[i].text) / room;
        if (share > kClearlyInside)
            share = metrics.horizontalAdvance(texts[i].text) / room;
        fullest = std::max(fullest, share);
        if (share > 1) {
            texts.move(i, 0);
            break;
        }
    }
    return fullest;
}

// Each face tried is a font loaded before the window first shows, which costs more than all
// the rest of the fitting. Text widths grow with the pixel size, so what one size of a face
// measured tells of the others: a size the measures say overflows by more than hinting could
// explain is not tried at all.
class FaceTrials {
public:
    explicit FaceTrials(QList<TextInRoom> &texts)
        : m_texts(texts)
    {
    }

    bool fits(QFont font, int size, int stretch)
    {
        if (predictedFullness(size, stretch) > kHintingSlack)
            return false;
        font.setPixelSize(size);
        font.setStretch(stretch);
        const double fullest = fullness(font, m_texts);
        m_measured.append(
            {size, stretch == QFont::AnyStretch ? QFont::Unstretched : stretch, fullest});
        return fullest <= 1;
    }

private:
    // Hinting rounds each glyph's advance to a pixel, so a size's widths are its neighbour's
    // scaled only to within a few percent.
    static constexpr double kHintingSlack = 1.03;

    struct Measure {
        int size;
        int stretch;
        double fullest;
    };

    double predictedFullness(int size, int stretch) const
    {
        double predicted = 0;
        for (const Measure &measure : m_measured) {
            if (measure.stretch == stretch)
                predicted = std::max(predicted, measure.fullest * size / measure.size);
        }
        return predicted;
    }

    QList<TextInRoom> &m_texts;
    QList<Measure> m_measured;
};

// The largest size in [low, high] at which fitsAt holds, trying start first. Text only narrows as
// the pixel size falls, so each trial halves what is left; a face costs a font load per size.
template<typename Fits> std::optional<int> largestFitting(int low, int high, int start, Fits fitsAt)
{
    std::optional<int> found;
    for (int size = start; low <= high; size = (low + high + 1) / 2) {
        if (fitsAt(size)) {
            found = size;
            low = size + 1;
        } else {
            high = size - 1;
        }
    }
    return found;
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

void fitWindowFont(QWidget *window, const QList<TextsInBox> &boxes, double scale)
{
    const auto scaled = [scale](int pixels) {
        return int(std::lround(pixels * scale));
    };
    const int smallest = scaled(kSmallestPixelSize);
    const int largest = scaled(kLargestPixelSize);
    const int start = scaled(kStartPixelSize);
    window->ensurePolished(); // the style sets its margins when it polishes a control
    for (QLineEdit *edit : window->findChildren<QLineEdit *>())
        capTextMargins(edit);
    // The room is the style's business, not the font's (a button's spacing shrinks with the font,
    // so measuring it at the start font errs on the safe side): measured once, then each
    // candidate font is only measured, and the window changes font once.
    QList<int> rooms;
    for (const TextsInBox &box : boxes)
        rooms.append(textRoom(box.control));
    QList<TextInRoom> texts = textsInRoom(boxes, rooms);
    FaceTrials trials(texts);
    const QFont windowFont = window->font();
    auto fitsAt = [&](int stretch) {
        return [&, stretch](int size) {
            return trials.fits(windowFont, size, stretch);
        };
    };
    // The best there is, tried first: the largest size in the window's own face. With an
    // ordinary desktop font (9 points at 96 DPI) that is the very font the controls were just
    // laid out with, so trying it loads nothing.
    int size = largest;
    int stretch = windowFont.stretch();
    if (!trials.fits(windowFont, size, stretch)) {
        // The preference: the largest size, and at one size the normal face before the condensed
        // one. The condensed face fits at more sizes, so it is searched first; the normal face
        // then only matters from that size up.
        size = smallest;
        stretch = QFont::Condensed; // the smallest: the closest to fitting when nothing does
        const std::optional<int> condensed =
            largestFitting(smallest, largest, start, fitsAt(QFont::Condensed));
        const int normalFrom = condensed.value_or(smallest);
        if (const std::optional<int> normal = largestFitting(
                normalFrom, largest, condensed ? normalFrom : start, fitsAt(QFont::Unstretched))) {
            size = *normal;
            stretch = QFont::Unstretched;
        } else if (condensed) {
            size = *condensed;
        }
    }
    QFont font = windowFont;
    font.setPixelSize(size);
    font.setStretch(stretch);
    window->setFont(font);
}
