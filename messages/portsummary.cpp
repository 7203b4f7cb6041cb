// SPDX-License-Identifier: GPL-3.0-or-later
#include "portsummary.h"

QString portSummary(const PortDescription &port)
{
    QString adapter = port.description;
    if (!port.manufacturer.isEmpty()) {
        adapter = adapter.isEmpty() ? port.manufacturer
                                    : QStringLiteral("%1 (%2)").arg(adapter, port.manufacturer);
    }
    QString text = port.device;
    if (!adapter.isEmpty())
        text += QStringLiteral(" — ") + adapter;
    if (!port.serialNumber.isEmpty())
        text += QStringLiteral(", n° ") + port.serialNumber;
    return text;
}
