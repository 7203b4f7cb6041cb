// SPDX-License-Identifier: GPL-3.0-or-later
#include "windowscale.h"

#include <QFont>
#include <QToolButton>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace {

// The usual desktop sizes (KDE's 10 pt, GNOME's 11 pt) keep the layout as it was drawn.
constexpr double kLargestUsualPoints = 11;
// A font given in pixels is taken at 96 DPI, where the layout's pixels are its twips / 15.
constexpr double kPointsPerPixel = 72.0 / 96.0;

int scaled(int value, double scale)
{
    return int(std::lround(value * scale));
}

// Both edges scaled, so that neighbouring controls keep their gaps.
QRect scaled(const QRect &rect, double scale)
{
    const int left = scaled(rect.left(), scale);
    const int top = scaled(rect.top(), scale);
    return QRect(left, top, scaled(rect.left() + rect.width(), scale) - left,
                 scaled(rect.top() + rect.height(), scale) - top);
}

} // namespace

double desktopFontScale(const QFont &desktopFont)
{
    const double points = desktopFont.pointSizeF() > 0 ? desktopFont.pointSizeF()
                                                       : desktopFont.pixelSize() * kPointsPerPixel;
    return std::max(1.0, points / kLargestUsualPoints);
}

void scaleWindow(QWidget *window, double scale)
{
    if (scale == 1.0)
        return;
    window->setFixedSize(scaled(window->width(), scale), scaled(window->height(), scale));
    for (QWidget *control : window->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        control->setGeometry(scaled(control->geometry(), scale));
        if (auto *button = qobject_cast<QToolButton *>(control))
            button->setIconSize(button->iconSize() * scale);
    }
}
