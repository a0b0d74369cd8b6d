#pragma once
// The factory settings as the load sends them: step, address, value, and whether it
// is a 16-bit write (low byte at the address, high byte at the next). The coil type
// at address 22 goes out twice in a row, as the ECU has always been given it.
#include <array>

namespace gasecu::link {

struct FactorySetting {
    int step;
    int address;
    int value;
    bool word;
};

inline constexpr std::array<FactorySetting, 37> kFactorySettingsTable{{
    {48, 11, 60, false},   {51, 32, 90, false},   {54, 28, 4, false},    {57, 31, 2, false},
    {60, 22, 10, false},   {63, 22, 10, false},   {66, 29, 1, false},    {69, 23, 123, false},
    {72, 24, 129, false},  {75, 25, 100, false},  {78, 57, 60, false},   {81, 58, 232, false},
    {84, 59, 202, false},  {87, 30, 0, false},    {90, 27, 0, false},    {93, 26, 0, false},
    {96, 33, 100, false},  {99, 34, 100, false},  {102, 35, 100, false}, {105, 36, 256, true},
    {108, 38, 671, true},  {111, 40, 25, true},   {114, 42, 153, true},  {117, 44, 100, false},
    {120, 45, 231, false}, {123, 46, 231, false}, {126, 47, 85, false},  {129, 48, 182, false},
    {132, 49, 0, false},   {135, 50, 0, false},   {138, 55, 50, true},   {141, 51, 70, false},
    {144, 53, 60, false},  {147, 52, 243, false}, {150, 61, 125, true},  {153, 63, 300, true},
    {156, 65, 11, false},
}};

}  // namespace gasecu::link
