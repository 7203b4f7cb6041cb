// SPDX-License-Identifier: GPL-3.0-or-later
#include "listlookstyle.h"

#include <QApplication>
#include <QEvent>
#include <QPainter>
#include <QPainterPath>
#include <QStyleOptionComboBox>

namespace {

constexpr int kFrameWidth = 1;

QRect arrowRect(const QRect &rect)
{
    const int side = rect.height() - 2 * kFrameWidth;
    return QRect(rect.right() - kFrameWidth - side + 1, rect.top() + kFrameWidth, side, side);
}

QColor mixed(const QColor &a, const QColor &b, double share) // share of b
{
    return QColor::fromRgbF(float(a.redF() + (b.redF() - a.redF()) * share),
                            float(a.greenF() + (b.greenF() - a.greenF()) * share),
                            float(a.blueF() + (b.blueF() - a.blueF()) * share));
}

// A new style object for each list: QWidget::setStyle does not take ownership.
class ListStyleFollower : public QObject {
public:
    explicit ListStyleFollower(QWidget *list)
        : QObject(list)
    {
        apply(list);
        list->installEventFilter(this);
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        // The application's style changed: wrap the new one.
        if (event->type() == QEvent::StyleChange && !m_applying &&
            m_style->baseStyle()->name() != QApplication::style()->name())
            apply(static_cast<QWidget *>(watched));
        return QObject::eventFilter(watched, event);
    }

private:
    void apply(QWidget *list)
    {
        m_applying = true;
        auto *style = new ListLookStyle(QApplication::style()->name());
        style->setParent(this);
        list->setStyle(style);
        if (m_style)
            m_style->deleteLater();
        m_style = style;
        m_applying = false;
    }

    ListLookStyle *m_style = nullptr;
    bool m_applying = false;
};

} // namespace

void ListLookStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex *option,
                                       QPainter *painter, const QWidget *widget) const
{
    const auto *combo = qstyleoption_cast<const QStyleOptionComboBox *>(option);
    if (control != CC_ComboBox || !combo) {
        QProxyStyle::drawComplexControl(control, option, painter, widget);
        return;
    }
    const QPalette &palette = option->palette;
    const bool enabled = option->state & State_Enabled;
    const QColor ink =
        palette.color(enabled ? QPalette::Active : QPalette::Disabled, QPalette::Text);
    const QRect rect = option->rect;
    painter->save();
    painter->fillRect(rect, palette.base());
    // The frame halfway between the window and the text: seen on any palette, light or dark.
    const bool focused = (option->state & State_HasFocus) && enabled;
    painter->setPen(focused ? palette.color(QPalette::Highlight)
                            : mixed(palette.color(QPalette::Window), ink, 0.5));
    painter->drawRect(rect.adjusted(0, 0, -1, -1));

    const QRect arrow = arrowRect(rect);
    painter->setPen(mixed(palette.color(QPalette::Base), ink, 0.3));
    painter->drawLine(arrow.topLeft(), arrow.bottomLeft());
    const double half = arrow.width() / 5.0;
    const QPointF centre = QRectF(arrow).center() + QPointF(0.5, 0.5);
    QPainterPath triangle;
    triangle.moveTo(centre.x() - half, centre.y() - half / 2);
    triangle.lineTo(centre.x() + half, centre.y() - half / 2);
    triangle.lineTo(centre.x(), centre.y() + half / 2 + 1);
    triangle.closeSubpath();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->fillPath(triangle, ink);
    painter->restore();
}

QRect ListLookStyle::subControlRect(ComplexControl control, const QStyleOptionComplex *option,
                                    SubControl subControl, const QWidget *widget) const
{
    if (control != CC_ComboBox)
        return QProxyStyle::subControlRect(control, option, subControl, widget);
    const QRect rect = option->rect;
    switch (subControl) {
    case SC_ComboBoxFrame:
        return rect;
    case SC_ComboBoxArrow:
        return arrowRect(rect);
    case SC_ComboBoxEditField:
        return QRect(rect.left() + kFrameWidth, rect.top() + kFrameWidth,
                     arrowRect(rect).left() - rect.left() - kFrameWidth - 1,
                     rect.height() - 2 * kFrameWidth);
    case SC_ComboBoxListBoxPopup:
        return rect;
    default:
        return QProxyStyle::subControlRect(control, option, subControl, widget);
    }
}

QStyle::SubControl ListLookStyle::hitTestComplexControl(ComplexControl control,
                                                        const QStyleOptionComplex *option,
                                                        const QPoint &position,
                                                        const QWidget *widget) const
{
    if (control != CC_ComboBox)
        return QProxyStyle::hitTestComplexControl(control, option, position, widget);
    if (arrowRect(option->rect).contains(position))
        return SC_ComboBoxArrow;
    return option->rect.contains(position) ? SC_ComboBoxEditField : SC_None;
}

void useListLook(QWidget *list)
{
    new ListStyleFollower(list);
}
