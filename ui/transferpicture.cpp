// SPDX-License-Identifier: GPL-3.0-or-later
#include "transferpicture.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

void drawComputer(QPainter &painter, const QRectF &screen)
{
    // Case, screen and a small stand under it. Outline and stand are mid grey, so that they
    // show on a light window and a dark one alike.
    painter.setPen(QPen(QColor(0x6e, 0x76, 0x81), 1));
    painter.setBrush(QColor(0xd9, 0xdc, 0xe1));
    painter.drawRoundedRect(screen, 1.5, 1.5);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x2f, 0x7d, 0xd1));
    painter.drawRect(screen.adjusted(2, 2, -2, -2));
    painter.setBrush(QColor(0x9f, 0xd0, 0xff));
    painter.drawRect(QRectF(screen.left() + 3, screen.top() + 3, screen.width() / 3, 2));
    painter.setBrush(QColor(0x6e, 0x76, 0x81));
    const qreal middle = screen.center().x();
    painter.drawRect(QRectF(middle - 1.5, screen.bottom(), 3, 2));
    painter.drawRect(QRectF(middle - 4.5, screen.bottom() + 2, 9, 1.5));
}

QPixmap paint(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 32.0, size / 32.0);

    drawComputer(painter, QRectF(0.5, 2.5, 13, 10));
    drawComputer(painter, QRectF(18.5, 14.5, 13, 10));

    // The cable, from the back of one computer to the other.
    QPainterPath cable(QPointF(7, 15.5));
    cable.cubicTo(QPointF(7, 26), QPointF(14, 29), QPointF(25, 28));
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(0xe0, 0x8a, 0x1e), 1.6, Qt::SolidLine, Qt::RoundCap));
    painter.drawPath(cable);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x6e, 0x76, 0x81));
    painter.drawRect(QRectF(5.5, 14.5, 3, 2));
    painter.drawRect(QRectF(23.5, 27, 3, 2));
    return pixmap;
}

} // namespace

QIcon transferPicture()
{
    QIcon icon;
    icon.addPixmap(paint(32));
    icon.addPixmap(paint(64));
    return icon;
}
