#pragma once
// The injection advance the fitter can choose, as the list avas shows it, with
// the 16-bit value (4 µs units) the ECU stores at address 55.
#include <array>

namespace gasecu::ecu {

struct AdvanceEntry {
    const char* text;
    int value;         // time x 250, fraction dropped
    int hundredthsMs;  // the time as read back, in hundredths of a ms
};

inline constexpr std::array<AdvanceEntry, 13> kAdvanceEntries{{
    {"0.20 ms", 50, 20},
    {"0.25 ms", 62, 25},
    {"0.50 ms", 125, 50},
    {"0.75 ms", 187, 75},
    {"1.00 ms", 250, 100},
    {"1.25 ms", 312, 125},
    {"1.50 ms", 375, 150},
    {"1.75 ms", 437, 175},
    {"2.00 ms", 500, 200},
    {"2.25 ms", 562, 225},
    {"2.50 ms", 625, 250},
    {"2.75 ms", 687, 275},
    {"3.00 ms", 750, 300},
}};

// Written when no entry is selected.
inline constexpr int kAdvanceValueWithoutSelection = 125;

}  // namespace gasecu::ecu
