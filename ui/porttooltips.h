// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "portmap.h"

#include <QObject>

class QRadioButton;

// What "COM1" and "COM2" stand for, as each button's tooltip and accessible description: the
// device and the adapter behind it. The ports present are looked at when a button is pointed at
// or focused (a click focuses it first), not at start-up; until then a port that follows the
// ports present says so.
class PortTooltips : public QObject {
    Q_OBJECT
public:
    PortTooltips(QRadioButton *option1, QRadioButton *option2, const PortMap &ports,
                 QObject *parent = nullptr);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void describePort(int portNumber, bool lookAtSystem);
    QString deviceNotLookedAt(int portNumber) const;

    QRadioButton *m_option1;
    QRadioButton *m_option2;
    PortMap m_ports;
};
