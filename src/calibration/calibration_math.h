#pragma once
// The arithmetic of the calibration run, free of the window: the correction step
// count, the reference values written to the ECU, and the rescaling of the bands.
#include <optional>

#include "curve/curve_text.h"

namespace gasecu::calibration {

// One correction step trims the gas injection by this much petrol time; 1.04 ms
// is just above 255 steps, the most one command carries.
inline constexpr double kCorrectionStepMs = 0.00407;
inline constexpr double kLargestCorrectionMs = 1.04;
// Within this the two petrol times agree: no correction, the iterations end.
inline constexpr double kAgreementMs = 0.1;
// Below this gas time the ECU is not asked to take gas away.
inline constexpr double kLeanestGasTimeMs = 1.9;

// The difference of two petrol times as read from the screen, to a tenth of a
// microsecond: 3.10 - 3.00 is then 0.10 and agrees, instead of the binary
// 0.1000000000000001 that does not.
double PetrolTimeDifference(double onPetrol, double onGas);

// Steps for a difference d: the whole steps in d, at most 255; from 1.04 ms on, 255
// when gas needs more fuel (petrol time higher on gas) and 1 when it needs less.
double CorrectionStepsFor(double difference, double onPetrol, double onGas);

// The gas pressure in hundredths of a bar, as address 44 holds it.
double PressureValue(double bar);
// A temperature as the ECU codes it: 256 - round(T x 10 / 4.07), halves to even
// (the inverse of degrees = (256 - code) x 0.407).
double TemperatureCode(double celsius);

// The band multiplier: 1.00 for the 1000 rpm band (row 3) up to 1.20 for 6000 rpm
// (row 8); the higher bands get more gas per unit of slope.
double BandMultiplier(int row);

// Multiplies points 1..18 of the band rows 3..8 by
// startRatio x BandMultiplier(row) / nowRatio (the slope factor with the band's
// multiplier), each rounded to the nearest whole number (halves to even) within
// the table's 16-bit range. The head and the axis rows stay. Both ratios must be
// finite and above 0.
void ScaleBands(CurveRows& table, double startRatio, double nowRatio);

}  // namespace gasecu::calibration
