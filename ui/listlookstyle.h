// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QProxyStyle>

// Draws the window's lists as lists under any desktop style: a frame and an arrow around the
// field, whatever the style does with a box this low (Adwaita leaves both out below its own
// height, so a list looks like a plain field). The field and the popup stay the style's own.
class ListLookStyle : public QProxyStyle {
    Q_OBJECT
public:
    using QProxyStyle::QProxyStyle;

    void drawComplexControl(ComplexControl control, const QStyleOptionComplex *option,
                            QPainter *painter, const QWidget *widget = nullptr) const override;
    QRect subControlRect(ComplexControl control, const QStyleOptionComplex *option,
                         SubControl subControl, const QWidget *widget = nullptr) const override;
    SubControl hitTestComplexControl(ComplexControl control, const QStyleOptionComplex *option,
                                     const QPoint &position,
                                     const QWidget *widget = nullptr) const override;
};

// Gives list ListLookStyle over the application's style, following it when it changes.
void useListLook(QWidget *list);
