// SPDX-License-Identifier: GPL-3.0-or-later
#include "portdescription.h"

#include <QFileInfo>

#include <algorithm>

namespace {

QString baseName(const QString &device)
{
    return QFileInfo(device).fileName();
}

// Compares names chunk by chunk, runs of digits by their value.
bool naturalLess(QStringView a, QStringView b)
{
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < a.size() && j < b.size()) {
        if (a[i].isDigit() && b[j].isDigit()) {
            const qsizetype startA = i;
            const qsizetype startB = j;
            while (i < a.size() && a[i].isDigit())
                ++i;
            while (j < b.size() && b[j].isDigit())
                ++j;
            // Leading zeros do not count; past them, the longer run is the larger number.
            QStringView numberA = a.sliced(startA, i - startA);
            QStringView numberB = b.sliced(startB, j - startB);
            while (numberA.size() > 1 && numberA.front() == u'0')
                numberA = numberA.sliced(1);
            while (numberB.size() > 1 && numberB.front() == u'0')
                numberB = numberB.sliced(1);
            if (numberA.size() != numberB.size())
                return numberA.size() < numberB.size();
            if (const int order = numberA.compare(numberB); order != 0)
                return order < 0;
            continue;
        }
        if (a[i] != b[j])
            return a[i] < b[j];
        ++i;
        ++j;
    }
    if (a.size() - i != b.size() - j)
        return a.size() - i < b.size() - j;
    return a < b; // "ttyS01" and "ttyS1": any fixed order will do
}

} // namespace

bool isAdapter(const PortDescription &port)
{
    const QString name = baseName(port.device);
    return port.vendorId.has_value() || name.startsWith(u"ttyUSB") || name.startsWith(u"ttyACM");
}

QList<PortDescription> inPortOrder(QList<PortDescription> ports)
{
    std::stable_sort(ports.begin(), ports.end(),
                     [](const PortDescription &a, const PortDescription &b) {
                         const bool adapterA = isAdapter(a);
                         if (adapterA != isAdapter(b))
                             return adapterA;
                         return naturalLess(baseName(a.device), baseName(b.device));
                     });
    return ports;
}
