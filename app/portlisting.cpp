// SPDX-License-Identifier: GPL-3.0-or-later
#include "portlisting.h"

#include "portmap.h"
#include "portsummary.h"

namespace {

QString hex4(quint16 value)
{
    return QStringLiteral("%1").arg(uint(value), 4, 16, QChar(u'0'));
}

void listPort(const PortDescription &port, QTextStream &out)
{
    out << port.device << Qt::endl;
    const auto line = [&out](const QString &label, const QString &value) {
        if (!value.isEmpty())
            out << "  " << label << " : " << value << Qt::endl;
    };
    line(QStringLiteral("lien stable"), port.byIdLink);
    line(QStringLiteral("description"), port.description);
    line(QStringLiteral("fabricant"), port.manufacturer);
    if (port.vendorId && port.productId)
        line(QStringLiteral("identifiant USB"),
             hex4(*port.vendorId) + u':' + hex4(*port.productId));
    line(QStringLiteral("numéro de série"), port.serialNumber);
}

} // namespace

void listPorts(const PortMap &map, QTextStream &out)
{
    const QList<PortDescription> present = map.presentPorts();
    if (present.isEmpty())
        out << QStringLiteral("Aucun port série trouvé.") << Qt::endl;
    for (const PortDescription &port : present)
        listPort(port, out);

    out << Qt::endl;
    for (int number = PortMap::kFirstPort; number <= PortMap::kLastPort; ++number) {
        const std::optional<PortDescription> port = map.resolve(number, present);
        QString stands = port ? portSummary(*port) : QStringLiteral("aucun port");
        if (!map.givenPath(number).isEmpty())
            stands += QStringLiteral(" (option --com%1)").arg(number);
        out << QStringLiteral("COM%1 : ").arg(number) << stands << Qt::endl;
    }
}
