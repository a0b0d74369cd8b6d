#pragma once
// The tool's live request and its write frames, built here byte by byte so the controller's checks are
// tested against an independent encoding.
#include <array>
#include <cstdint>

#include "platform/bytes.h"

namespace gasecu::sim::test {

// The live data request the tool sends every 500 ms.
inline const Bytes kLive{110, 4, 110, 10};

inline Bytes SettingWriteFrame(int address, int value) {
    return {75, 7, static_cast<std::uint8_t>(address), 0, static_cast<std::uint8_t>(value),
            static_cast<std::uint8_t>((address + value) % 256), 10};
}

inline Bytes SettingWordWriteFrame(int address, int value) {
    int low = value % 256, high = value / 256;
    return {76, 8, static_cast<std::uint8_t>(address), 0, static_cast<std::uint8_t>(low),
            static_cast<std::uint8_t>(high), static_cast<std::uint8_t>((address + low + high) % 256), 10};
}

inline Bytes CurveBlockWriteFrame(int block, const std::array<std::uint8_t, 18>& data) {
    Bytes f(24, 0);
    f[0] = 77;
    f[1] = 24;
    f[2] = static_cast<std::uint8_t>(block);
    for (int i = 0; i < 18; ++i) f[3 + i] = data[i];
    std::uint16_t crc = 0;
    for (int i = 0; i < 21; ++i) {
        crc ^= f[i];
        for (int bit = 0; bit < 8; ++bit) crc = (crc & 1) ? static_cast<std::uint16_t>((crc >> 1) ^ 0xA001) : crc >> 1;
    }
    f[21] = static_cast<std::uint8_t>(crc & 0xFF);
    f[22] = static_cast<std::uint8_t>(crc >> 8);
    f[23] = 10;
    return f;
}

}  // namespace gasecu::sim::test
