// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <vector>

struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    bool isEmpty() const { return width <= 0 || height <= 0; }
};

// The part of a that is also in b; empty when they do not meet.
Rect intersected(const Rect &a, const Rect &b);

// Which pixels of a window have been drawn since it was mapped. The first frame is complete when
// every pixel has been drawn at least once: Qt paints a whole window before showing any of it,
// so the damage that completes the cover is the flush of the first full frame.
class Coverage {
public:
    Coverage() = default;
    explicit Coverage(const Rect &window);

    // area is in the same (root) coordinates as the window; parts outside it are ignored.
    void add(const Rect &area);
    bool complete() const { return m_covered == m_cells.size() && !m_cells.empty(); }
    std::size_t uncovered() const { return m_cells.size() - m_covered; }

private:
    Rect m_window;
    std::vector<bool> m_cells;
    std::size_t m_covered = 0;
};
