#pragma once
// What the controller keeps in its non-volatile memory: one byte per setting
// address and the correction curve as seven 18-byte blocks.
//
// Settings: a word setting at address a keeps its low byte at a and its high byte
// at a + 1 (the word addresses 36, 38, 40, 42, 55, 61, 63 are spaced for that).
// The fault records are the bytes at 66..86; writing 0 clears one.
//
// Curve: block 10 is the head (its first six bytes are the six curve parameters,
// the second the idle level); blocks 11..16 are the six bands from 1000 to
// 6000 rpm, each as 18 rises: point 1 over the idle level, then every point over
// the one before.
#include <array>
#include <cstdint>

namespace gasecu::sim {

using CurveBlockData = std::array<std::uint8_t, 18>;

class EcuMemory {
public:
    EcuMemory();  // factory settings, no fault records, a plain default curve

    std::uint8_t setting(int address) const;
    void setSetting(int address, std::uint8_t value);
    int settingWord(int address) const;  // low at address, high at address + 1
    void setSettingWord(int address, int value);
    // Every address of the factory-settings table back to its factory value.
    void loadFactorySettings();

    // Blocks 10..16; anything else reads as zeros and is not stored.
    const CurveBlockData& curveBlock(int block) const;
    void setCurveBlock(int block, const CurveBlockData& data);

    int idleLevel() const { return curveBlock(10)[1]; }
    // Gas level of band 1..6 at curve point 1..18: the idle level plus the rises.
    int bandLevel(int band, int point) const;
    // Gas level of a band at a petrol injection time: curve point p stands for p ms,
    // straight lines between the points, from the idle level at 0 ms, flat beyond
    // 18 ms. In units of 0.05 ms of gas injection.
    double gasLevelAt(int band, double petrolMs) const;

    // The block this controller returns for a band request (see the .cpp).
    int blockForBandRequest(int requestedBlock);

private:
    std::array<std::uint8_t, 256> settings_{};
    std::array<CurveBlockData, 7> curve_{};
    int previousBandRequest_ = 0;
};

// The factory value of every address the factory-settings load writes.
struct FactorySetting {
    int address;
    int value;
    bool word;
};
extern const std::array<FactorySetting, 36> kFactorySettings;

}  // namespace gasecu::sim
