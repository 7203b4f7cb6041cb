// SPDX-License-Identifier: GPL-3.0-or-later
#include "seriallink.h"

SerialLink::SerialLink(QObject *parent)
    : QObject(parent)
{
}

SerialLink::~SerialLink() = default;
