#include "ecu_memory.h"

#include <algorithm>
#include <cmath>

namespace gasecu::sim {

const std::array<FactorySetting, 36> kFactorySettings{{
    {11, 60, false},  {22, 10, false},  {23, 123, false}, {24, 129, false}, {25, 100, false},
    {26, 0, false},   {27, 0, false},   {28, 4, false},   {29, 1, false},   {30, 0, false},
    {31, 2, false},   {32, 90, false},  {33, 100, false}, {34, 100, false}, {35, 100, false},
    {36, 256, true},  {38, 671, true},  {40, 25, true},   {42, 153, true},  {44, 100, false},
    {45, 231, false}, {46, 231, false}, {47, 85, false},  {48, 182, false}, {49, 0, false},
    {50, 0, false},   {51, 70, false},  {52, 243, false}, {53, 60, false},  {55, 50, true},
    {57, 60, false},  {58, 232, false}, {59, 202, false}, {61, 125, true},  {63, 300, true},
    {65, 11, false},
}};

EcuMemory::EcuMemory() {
    loadFactorySettings();
    // Head: idle anchor at axis 4, idle level 25, four parameters the tool carries.
    CurveBlockData head{};
    const std::uint8_t parameters[6] = {4, 25, 116, 110, 134, 122};
    std::copy(parameters, parameters + 6, head.begin());
    setCurveBlock(10, head);
    // Bands: level 30 per ms of petrol time, each band 2 units above the one below,
    // so the bands keep rising with engine speed.
    for (int band = 1; band <= 6; ++band) {
        CurveBlockData rises{};
        rises.fill(30);
        rises[0] = static_cast<std::uint8_t>(30 + 2 * (band - 1) - 25);
        setCurveBlock(10 + band, rises);
    }
}

std::uint8_t EcuMemory::setting(int address) const {
    return (address >= 0 && address <= 255) ? settings_[address] : 0;
}

void EcuMemory::setSetting(int address, std::uint8_t value) {
    if (address >= 0 && address <= 255) settings_[address] = value;
}

int EcuMemory::settingWord(int address) const { return setting(address) + 256 * setting(address + 1); }

void EcuMemory::setSettingWord(int address, int value) {
    setSetting(address, static_cast<std::uint8_t>(value & 0xFF));
    setSetting(address + 1, static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

void EcuMemory::loadFactorySettings() {
    for (const FactorySetting& s : kFactorySettings) {
        if (s.word)
            setSettingWord(s.address, s.value);
        else
            setSetting(s.address, static_cast<std::uint8_t>(s.value));
    }
}

const CurveBlockData& EcuMemory::curveBlock(int block) const {
    static const CurveBlockData kNone{};
    return (block >= 10 && block <= 16) ? curve_[block - 10] : kNone;
}

void EcuMemory::setCurveBlock(int block, const CurveBlockData& data) {
    if (block >= 10 && block <= 16) curve_[block - 10] = data;
}

int EcuMemory::bandLevel(int band, int point) const {
    band = std::clamp(band, 1, 6);
    point = std::clamp(point, 0, 18);
    int level = idleLevel();
    const CurveBlockData& rises = curveBlock(10 + band);
    for (int p = 1; p <= point; ++p) level += rises[p - 1];
    return level;
}

double EcuMemory::gasLevelAt(int band, double petrolMs) const {
    if (!(petrolMs > 0)) return idleLevel();
    if (petrolMs >= 18) return bandLevel(band, 18);
    int below = static_cast<int>(std::floor(petrolMs));
    double fraction = petrolMs - below;
    double a = bandLevel(band, below);
    double b = bandLevel(band, below + 1);
    return a + (b - a) * fraction;
}

// The tool writes its six bands to blocks 11..16, but when it reads it asks, before
// each band, for the head (block 10) and then for blocks 12, 13, 14, 15, 16 and 16
// again. This controller therefore answers a band request with the block one below
// the number asked for (12 gives 11, ..., 16 gives 15), except that a request for
// 16 that follows a request for 16 (head requests in between do not count) gives
// block 16 itself. A curve written and then read back is the same curve, and a
// repeated request for any of the first five bands after a lost reply is answered
// with the same block again. (A repeat of the fifth band's request after a lost
// reply looks exactly like the sixth band's request; nothing on the line tells
// them apart.) Block 11 is never asked for by the tool; it gives itself.
int EcuMemory::blockForBandRequest(int requestedBlock) {
    int answer = requestedBlock;
    if (requestedBlock >= 12 && requestedBlock <= 15) answer = requestedBlock - 1;
    if (requestedBlock == 16) answer = (previousBandRequest_ == 16) ? 16 : 15;
    previousBandRequest_ = requestedBlock;
    return answer;
}

}  // namespace gasecu::sim
