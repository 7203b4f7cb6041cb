// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringView>

#include <span>

// Qt's own options, which QApplication takes out of argv (see --help-all). They are written
// with one dash or two; only -style and -stylesheet also take their value after "=".
struct QtOption {
    QStringView name;
    QStringView valueName; // empty for a flag
    QStringView help;      // empty: accepted, not shown
    bool takesEquals = false;
};

std::span<const QtOption> qtOptions();
const QtOption *findQtOption(QStringView name);
