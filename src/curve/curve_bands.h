#pragma once
// The six engine-speed bands of the correction curve: band b (0..5) is
// 1000 x (b + 1) rpm, held in CurveTable row b + 3. Each band has one colour for
// its curve on the plot and for its button while it is selected; the 1000 rpm band
// uses the system colours (the plot's pen, the button's face).
#include <array>

#include "app/controls.h"

namespace gasecu::curve {

inline constexpr int kBandCount = 6;
inline constexpr int kFirstBandRow = 3;  // 1000 rpm
inline constexpr int kLastBandRow = 8;   // 6000 rpm
inline constexpr int kPointCount = 18;   // curve points 1..18

// CurveTable row 1: the curve head; its first two points are the idle anchor.
inline constexpr int kHeaderRow = 1;
inline constexpr int kIdleAxisPoint = 1;
inline constexpr int kIdleLevel = 2;

// BandSelected value of a selected band.
inline constexpr std::uint8_t kSelected = 255;

inline constexpr std::array<Colour, kBandCount> kBandCurveColours = {
    colours::kWindowText, 4095, 0xFF0000, 0x00FFFF, 33023, 0xFF00FF};
// The ECU's curve behind the edited one: each band's colour half way to white
// (the 1000 rpm band's black pen as mid grey), so the two never look alike.
inline constexpr std::array<Colour, kBandCount> kEcuBandCurveColours = {
    0xA0A0A0, 0x8087FF, 0xFF8080, 0x80FFFF, 0x80C0FF, 0xFF80FF};
inline constexpr std::array<Colour, kBandCount> kBandButtonColours = {
    colours::kButtonFace, 4095, 0xFF0000, 0x00FFFF, 33023, 0xFF00FF};

}  // namespace gasecu::curve
