#pragma once

#include <algorithm>
#include <cctype>
#include <charconv>
#include <optional>
#include <string_view>

namespace mmp {

enum class PortKind { Simulated, Device, Direct, Unrecognised };

struct PortChoice {
    PortKind kind;
    int deviceNumber = -1;  // N of /dev/parportN, for PortKind::Device only
    bool operator==(const PortChoice&) const = default;
};

// "parport3" gives 3; anything else, nothing.
inline std::optional<int> parportNumber(std::string_view name)
{
    constexpr std::string_view prefix = "parport";
    if (!name.starts_with(prefix))
        return std::nullopt;
    const auto digits = name.substr(prefix.size());
    const auto isDigit = [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; };
    if (digits.empty() || !std::all_of(digits.begin(), digits.end(), isDigit))
        return std::nullopt;
    int number = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    if (error != std::errc{} || end != digits.data() + digits.size())
        return std::nullopt;
    return number;
}

// setting: the value of MMP_PORT, empty when unset. reportedPort: the lowest parportN that the
// system reports, if any. Without a setting the real port is used only when the system reports
// one: an address guessed for an absent port would read 0xFF and swallow every write unnoticed.
inline PortChoice choosePort(std::string_view setting, std::optional<int> reportedPort)
{
    if (setting.empty())
        return reportedPort ? PortChoice{PortKind::Device, *reportedPort} : PortChoice{PortKind::Simulated};
    if (setting == "sim")
        return {PortKind::Simulated};
    if (setting == "direct")
        return {PortKind::Direct};
    if (setting.starts_with("/dev/"))
        setting.remove_prefix(5);
    if (const auto number = parportNumber(setting))
        return {PortKind::Device, *number};
    return {PortKind::Unrecognised};
}

}  // namespace mmp
