// SPDX-License-Identifier: GPL-3.0-or-later
#include "porttooltips.h"

#include "portmessages.h"
#include "portsummary.h"
#include "showntext.h"

#include <QEvent>
#include <QRadioButton>

PortTooltips::PortTooltips(QRadioButton *option1, QRadioButton *option2, const PortMap &ports,
                           QObject *parent)
    : QObject(parent)
    , m_option1(option1)
    , m_option2(option2)
    , m_ports(ports)
{
    m_option1->installEventFilter(this);
    m_option2->installEventFilter(this);
    describePort(1, false);
    describePort(2, false);
}

bool PortTooltips::eventFilter(QObject *watched, QEvent *event)
{
    const bool asked = event->type() == QEvent::ToolTip || event->type() == QEvent::FocusIn;
    if (asked && (watched == m_option1 || watched == m_option2))
        describePort(watched == m_option1 ? 1 : 2, true);
    return QObject::eventFilter(watched, event);
}

void PortTooltips::describePort(int portNumber, bool lookAtSystem)
{
    QString device;
    QString link;
    if (lookAtSystem) {
        const std::optional<PortDescription> port = m_ports.describe(portNumber);
        device = port ? portSummary(*port) : QStringLiteral("aucun port série trouvé");
        if (port && port->byIdLink != port->device)
            link = port->byIdLink;
    } else {
        device = deviceNotLookedAt(portNumber);
    }
    QString tip = QStringLiteral("%1 : %2").arg(portName(portNumber), device);
    if (!link.isEmpty())
        tip += u'\n' + link;
    QRadioButton *button = portNumber == 1 ? m_option1 : m_option2;
    button->setToolTip(tip);
    button->setAccessibleDescription(
        QStringLiteral("Ouvre le port série %1 (%2).").arg(portName(portNumber), device));
}

// The device given on the command line, or which of the ports present the button will take.
QString PortTooltips::deviceNotLookedAt(int portNumber) const
{
    const int other = portNumber == 1 ? 2 : 1;
    if (!m_ports.givenPath(portNumber).isEmpty())
        return shownAsTyped(m_ports.givenPath(portNumber));
    if (!m_ports.givenPath(other).isEmpty())
        return QStringLiteral("premier port série présent autre que celui de %1")
            .arg(portName(other));
    return portNumber == 1 ? QStringLiteral("premier port série présent")
                           : QStringLiteral("deuxième port série présent");
}
