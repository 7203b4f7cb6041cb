// SPDX-License-Identifier: GPL-3.0-or-later
#include "portchoice.h"

#include <QButtonGroup>
#include <QRadioButton>
#include <QScopedValueRollback>

PortChoice::PortChoice(QRadioButton *option1, QRadioButton *option2, QObject *parent)
    : QObject(parent)
    , m_group(new QButtonGroup(this))
{
    for (const int port : {1, 2}) {
        QRadioButton *option = port == 1 ? option1 : option2;
        m_group->addButton(option, port);
        // A click checks the button between pressed and released.
        connect(option, &QRadioButton::pressed, this, [this] { m_pressing = true; });
        connect(option, &QRadioButton::released, this, [this] { m_pressing = false; });
        connect(option, &QRadioButton::toggled, this,
                [this, port](bool checked) { onToggled(port, checked); });
    }
}

void PortChoice::showOpenPort(int portNumber)
{
    const QScopedValueRollback showing(m_showingOpenPort, true);
    m_group->setExclusive(false); // or the group would keep one button checked
    for (QAbstractButton *button : m_group->buttons())
        button->setChecked(m_group->id(button) == portNumber);
    m_group->setExclusive(true);
}

void PortChoice::onToggled(int portNumber, bool checked)
{
    if (checked && !m_pressing && !m_showingOpenPort)
        emit checkedWithoutClick(portNumber);
}
