// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringView>

#include <vector>

// Turns an offset in a text into the line and column a user sees, both from 1.
class TextPositions {
public:
    explicit TextPositions(QStringView text);

    int line(qsizetype offset) const;
    int column(qsizetype offset) const;

private:
    std::vector<qsizetype> m_lineStarts{0};
};
