// SPDX-License-Identifier: GPL-3.0-or-later
#include "textcontrast.h"

#include <QAbstractButton>
#include <QPalette>
#include <QWidget>

#include <cmath>

namespace {

// WCAG asks 4.5:1 of text; the window's text is small and thin, and antialiasing keeps its
// strokes short of their colour, so selected text is given the 7:1 asked of text for low vision.
constexpr double kLeastTextContrast = 7;

double luminance(const QColor &colour)
{
    auto channel = [](float c) {
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(colour.redF()) + 0.7152 * channel(colour.greenF()) +
           0.0722 * channel(colour.blueF());
}

// background moved away from text, keeping its hue, until text reads on it.
QColor readableBehind(const QColor &text, QColor background)
{
    const bool darken = luminance(text) > luminance(background);
    for (int step = 0; step < 40 && contrastRatio(text, background) < kLeastTextContrast; ++step)
        background = darken ? background.darker(105) : background.lighter(105);
    return background;
}

} // namespace

double contrastRatio(const QColor &a, const QColor &b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

void ensureTextContrast(QWidget *window)
{
    QPalette palette = window->palette();
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::Highlight,
                         readableBehind(palette.color(group, QPalette::HighlightedText),
                                        palette.color(group, QPalette::Highlight)));
    }
    window->setPalette(palette);

    for (QAbstractButton *button : window->findChildren<QAbstractButton *>()) {
        QPalette own = button->palette();
        for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive})
            own.setColor(group, QPalette::HighlightedText, own.color(group, QPalette::ButtonText));
        button->setPalette(own);
    }
}
