// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <chrono>

// What the command line asks of tinkora-send.
struct SendOptions {
    enum class Action { Send, Help, Version, Usage };

    Action action = Action::Send;
    QString usageError; // French, with Usage
    QString helpText;

    QString file;
    QString port = QStringLiteral("COM1");
    int firstSlot = 1;
    std::chrono::milliseconds gap{50};
    std::chrono::milliseconds wait{0};
    bool dryRun = false;
    bool skipRests = false;
    QString wav;

    static SendOptions parse(const QStringList &arguments);
};
