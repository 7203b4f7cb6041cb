// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <vector>

// Median, extremes and percentiles of one figure over many runs.
class Summary {
public:
    explicit Summary(std::vector<double> values);

    std::size_t count() const { return m_sorted.size(); }
    bool empty() const { return m_sorted.empty(); }
    // All are 0 for no values; the table shows such a figure as missing.
    double median() const;
    double min() const { return empty() ? 0 : m_sorted.front(); }
    double max() const { return empty() ? 0 : m_sorted.back(); }
    // Nearest rank: the smallest value that at least percent % of the values do not exceed.
    double percentile(double percent) const;

private:
    std::vector<double> m_sorted;
};
