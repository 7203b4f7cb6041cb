// SPDX-License-Identifier: GPL-3.0-or-later
#include "memoryfigures.h"

#include <charconv>

namespace {

// The value in kB of a "Name:   1234 kB" line.
std::optional<double> field(std::string_view status, std::string_view name)
{
    std::size_t at = 0;
    while (at < status.size()) {
        std::size_t end = status.find('\n', at);
        if (end == std::string_view::npos)
            end = status.size();
        std::string_view line = status.substr(at, end - at);
        at = end + 1;
        if (line.size() <= name.size() || line.substr(0, name.size()) != name ||
            line[name.size()] != ':')
            continue;
        line.remove_prefix(name.size() + 1);
        while (!line.empty() && (line.front() == ' ' || line.front() == '\t'))
            line.remove_prefix(1);
        long kib = 0;
        const auto [rest, failure] = std::from_chars(line.data(), line.data() + line.size(), kib);
        if (failure != std::errc() || std::string_view(rest, line.data() + line.size()) != " kB")
            return std::nullopt;
        return double(kib) / 1024;
    }
    return std::nullopt;
}

} // namespace

std::optional<MemoryFigures> parseProcStatus(std::string_view status)
{
    const std::optional<double> peak = field(status, "VmHWM");
    const std::optional<double> anonymous = field(status, "RssAnon");
    if (!peak || !anonymous)
        return std::nullopt;
    return MemoryFigures{*peak, *anonymous};
}
