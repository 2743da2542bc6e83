#include "port/ScanStep.h"

#include <QtGlobal>
#include <algorithm>
#include <array>

namespace {

// The lit line walking up from D0 to D7.
constexpr std::array<std::uint8_t, 8> Walk = {0xFE, 0xFD, 0xFB, 0xF7, 0xEF, 0xDF, 0xBF, 0x7F};

}  // namespace

ScanPosition nextScanPosition(ScanPosition current)
{
    const std::uint8_t value = current.portData == 0xFF ? std::uint8_t{0xEF} : current.portData;
    const auto found = std::find(Walk.begin(), Walk.end(), value);
    if (found == Walk.end())
        return {value, current.descending};
    if (!current.descending)
        return found == Walk.end() - 1 ? ScanPosition{value, true} : ScanPosition{*(found + 1), false};
    return found == Walk.begin() ? ScanPosition{value, false} : ScanPosition{*(found - 1), true};
}

bool showsLineAlone(std::uint8_t value, int line)
{
    Q_ASSERT(line >= 0 && line < 8);
    return (value | (1u << line)) == 0xFF;
}
