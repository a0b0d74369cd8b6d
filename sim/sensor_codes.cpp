#include "sensor_codes.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace gasecu::sim {

const std::array<int, 227> kPressureHundredths{
    16,  17,  18,  18,  19,  20,  20,  21,  22,  22,  23,  24,  24,  25,  25,  26,  27,  27,  28,  29,
    29,  30,  31,  31,  32,  33,  33,  34,  35,  35,  36,  37,  37,  38,  39,  39,  40,  41,  41,  42,
    42,  43,  44,  44,  45,  46,  46,  47,  48,  48,  49,  50,  50,  51,  52,  52,  53,  53,  54,  55,
    56,  56,  57,  58,  58,  59,  59,  60,  61,  61,  62,  63,  63,  64,  65,  65,  66,  67,  67,  68,
    69,  69,  70,  71,  71,  72,  73,  73,  74,  74,  75,  76,  76,  77,  78,  78,  79,  80,  80,  81,
    82,  82,  83,  84,  84,  85,  86,  86,  87,  88,  88,  89,  90,  90,  91,  92,  92,  93,  93,  94,
    95,  95,  96,  97,  97,  98,  99,  99,  100, 101, 101, 102, 103, 104, 104, 105, 105, 106, 107, 107,
    108, 108, 109, 110, 110, 111, 112, 112, 113, 114, 114, 115, 115, 116, 117, 118, 118, 119, 120, 120,
    121, 122, 122, 123, 124, 124, 125, 125, 126, 127, 127, 128, 129, 129, 130, 131, 132, 132, 133, 133,
    134, 135, 135, 136, 137, 137, 138, 139, 139, 140, 141, 141, 142, 142, 143, 144, 144, 145, 146, 146,
    147, 148, 148, 149, 150, 150, 151, 152, 152, 153, 154, 154, 155, 155, 156, 157, 158, 159, 159, 160,
    160, 161, 161, 162, 162, 163, 164,
};

std::uint8_t PressureCode(double bar) {
    double hundredths = bar * 100;
    int best = 0;
    double bestError = 1e9;
    for (int raw = 0; raw < static_cast<int>(kPressureHundredths.size()); ++raw) {
        double error = std::abs(kPressureHundredths[raw] - hundredths);
        if (error < bestError) {
            bestError = error;
            best = raw;
        }
    }
    return static_cast<std::uint8_t>(best);
}

std::uint8_t TemperatureCode(double celsius) {
    double code = 256 - std::nearbyint(celsius * 10 / 4.07);
    return static_cast<std::uint8_t>(std::clamp(code, 0.0, 255.0));
}

}  // namespace gasecu::sim
