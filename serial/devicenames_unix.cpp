// SPDX-License-Identifier: GPL-3.0-or-later
#include "devicenames.h"

#include <QDir>

QString devicePathFor(const QString &typed)
{
    // A bare name lives in /dev; any other path is taken from where we are.
    return typed.contains(u'/') ? QDir::cleanPath(QDir::current().absoluteFilePath(typed))
                                : QStringLiteral("/dev/") + typed;
}
