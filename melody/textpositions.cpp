// SPDX-License-Identifier: GPL-3.0-or-later
#include "textpositions.h"

#include <algorithm>

TextPositions::TextPositions(QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\n')
            m_lineStarts.push_back(i + 1);
    }
}

int TextPositions::line(qsizetype offset) const
{
    return int(std::upper_bound(m_lineStarts.begin(), m_lineStarts.end(), offset) -
               m_lineStarts.begin());
}

int TextPositions::column(qsizetype offset) const
{
    return int(offset - m_lineStarts[line(offset) - 1] + 1);
}
