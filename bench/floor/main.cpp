// SPDX-License-Identifier: GPL-3.0-or-later
// The Qt floor: the same window as tinkora in bare Qt Widgets, with Qt Serial Port linked and
// used the plainest way. What it costs to start and to answer a click, no Qt program of this
// shape can avoid; the benchmark measures tinkora against it.
#include "durationtable.h"
#include "notetable.h"
#include "tempolist.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPainter>
#include <QRadioButton>
#include <QSerialPort>
#include <QToolButton>
#include <QWidget>

namespace {

QPixmap picture()
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(QColor(0x2f, 0x7d, 0xd1));
    painter.drawRoundedRect(QRectF(0.5, 2.5, 13, 10), 1.5, 1.5);
    painter.drawRoundedRect(QRectF(18.5, 14.5, 13, 10), 1.5, 1.5);
    painter.drawLine(QPointF(7, 15.5), QPointF(25, 28));
    return pixmap;
}

QComboBox *list(QWidget *parent, const QRect &geometry, const QStringList &entries,
                const QString &text)
{
    auto *combo = new QComboBox(parent);
    combo->setEditable(true);
    combo->setGeometry(geometry);
    combo->addItems(entries);
    combo->setCurrentIndex(-1);
    combo->setEditText(text);
    return combo;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QString device = QStringLiteral("/dev/ttyS0");
    const QStringList arguments = QApplication::arguments();
    const qsizetype com1 = arguments.indexOf(QStringLiteral("--com1"));
    if (com1 > 0 && com1 + 1 < arguments.size())
        device = arguments.at(com1 + 1);

    QWidget window;
    window.setWindowTitle(QStringLiteral("Plancher Qt"));
    window.setFixedSize(357, 261);
    auto *option1 = new QRadioButton(QStringLiteral("COM1"), &window);
    option1->setGeometry(16, 8, 65, 17);
    auto *option2 = new QRadioButton(QStringLiteral("COM2"), &window);
    option2->setGeometry(96, 0, 73, 33);
    QStringList tempos, notes, values;
    for (QStringView name : TempoList)
        tempos << name.toString();
    for (const NoteEntry &entry : NoteTable)
        notes << entry.name.toString();
    for (const DurationEntry &entry : DurationTable)
        values << entry.name.toString();
    auto *button = new QToolButton(&window);
    button->setText(QStringLiteral("Transfert"));
    button->setIcon(picture());
    button->setIconSize(QSize(32, 32));
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setGeometry(48, 168, 97, 73);
    const QList<QWidget *> lockedUntilOpen{
        list(&window, QRect(16, 80, 137, 21), tempos, QStringLiteral("Tempo")),
        list(&window, QRect(16, 120, 137, 21), notes, QStringLiteral("Notes")),
        list(&window, QRect(176, 120, 137, 21), values, QStringLiteral("Durée")), button};
    // Disabled until a port is open, as in tinkora, so both draw the same first frame.
    for (QWidget *control : lockedUntilOpen)
        control->setEnabled(false);
    (new QLineEdit(QStringLiteral("Note N°"), &window))->setGeometry(176, 176, 73, 25);
    (new QLineEdit(QStringLiteral("@EEPROM"), &window))->setGeometry(176, 208, 97, 27);

    QSerialPort port;
    QObject::connect(option1, &QRadioButton::clicked, &port, [&] {
        port.setPortName(device);
        port.setBaudRate(QSerialPort::Baud2400);
        port.open(QIODevice::ReadWrite);
        for (QWidget *control : lockedUntilOpen)
            control->setEnabled(true);
    });
    QObject::connect(button, &QToolButton::clicked, &port,
                     [&port] { port.write(QByteArray("\x00\x16\x32", 3)); });

    window.show();
    return app.exec();
}
