// SPDX-License-Identifier: GPL-3.0-or-later
#include "summary.h"

#include <algorithm>
#include <cmath>

Summary::Summary(std::vector<double> values)
    : m_sorted(std::move(values))
{
    std::sort(m_sorted.begin(), m_sorted.end());
}

double Summary::median() const
{
    if (empty())
        return 0;
    const std::size_t middle = m_sorted.size() / 2;
    if (m_sorted.size() % 2 == 1)
        return m_sorted[middle];
    return (m_sorted[middle - 1] + m_sorted[middle]) / 2;
}

double Summary::percentile(double percent) const
{
    if (empty())
        return 0;
    const double rank = std::ceil(percent / 100 * double(m_sorted.size()));
    const std::size_t index = std::size_t(std::clamp(rank, 1.0, double(m_sorted.size()))) - 1;
    return m_sorted[index];
}
