#pragma once

#include <cstdint>

// Where the Test Panel's running light stands: the byte to write, and whether the lit line is moving
// from D7 towards D0.
struct ScanPosition {
    std::uint8_t portData;
    bool descending;
};

// One move of the running light. All off (0xFF) first becomes 0xEF and then moves on in the same step,
// so the light starts next to the middle. At either end the direction turns and the byte stays for one
// more step; a byte outside the walk is left as it is.
ScanPosition nextScanPosition(ScanPosition current);

// Whether line (0..7) is the only line on in value, or no line is on at all (lines are active-low).
bool showsLineAlone(std::uint8_t value, int line);
