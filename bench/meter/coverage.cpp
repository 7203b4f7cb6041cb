// SPDX-License-Identifier: GPL-3.0-or-later
#include "coverage.h"

#include <algorithm>

Rect intersected(const Rect &a, const Rect &b)
{
    const int left = std::max(a.x, b.x);
    const int top = std::max(a.y, b.y);
    const int right = std::min(a.x + a.width, b.x + b.width);
    const int bottom = std::min(a.y + a.height, b.y + b.height);
    if (right <= left || bottom <= top)
        return {left, top, 0, 0};
    return {left, top, right - left, bottom - top};
}

Coverage::Coverage(const Rect &window)
    : m_window(window)
    , m_cells(std::size_t(std::max(window.width, 0)) * std::size_t(std::max(window.height, 0)))
{
}

void Coverage::add(const Rect &area)
{
    const Rect part = intersected(area, m_window);
    for (int y = part.y; y < part.y + part.height; ++y) {
        for (int x = part.x; x < part.x + part.width; ++x) {
            const std::size_t cell = std::size_t(y - m_window.y) * std::size_t(m_window.width) +
                                     std::size_t(x - m_window.x);
            if (!m_cells[cell]) {
                m_cells[cell] = true;
                ++m_covered;
            }
        }
    }
}
