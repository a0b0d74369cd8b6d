#include "link/command_frames.h"

#include <cmath>

#include "app/number_format.h"

namespace gasecu::frames {
namespace {

constexpr std::uint8_t kLineFeed = 10;
constexpr std::uint8_t kPageRequestConstant = 66;
constexpr std::uint8_t kCurveBlockRequestConstant = 63;

// The blocks the curve lives in: 10 is the header, 11..16 the six bands.
constexpr double kFirstCurveBlock = 10;
constexpr double kLastCurveBlock = 16;

// A whole number within [low, high] after rounding, or nothing. NaN fails every test.
std::optional<double> WholeInRange(double value, double low, double high) {
    const double rounded = RoundHalfEven(value);
    if (!(rounded >= low && rounded <= high)) return std::nullopt;
    return rounded;
}

std::optional<std::uint8_t> ByteInRange(double value, double low, double high) {
    const auto whole = WholeInRange(value, low, high);
    if (!whole) return std::nullopt;
    return static_cast<std::uint8_t>(*whole);
}

}  // namespace

std::optional<std::uint8_t> ToByte(double value) { return ByteInRange(value, 0, 255); }

std::optional<Bytes> PageRequest(double page) {
    const auto p = ByteInRange(page, 1, 8);
    if (!p) return std::nullopt;
    return Bytes{kPageRequestCode, 5, *p, kPageRequestConstant, kLineFeed};
}

std::optional<Bytes> CurveBlockRequest(double block) {
    const auto b = ByteInRange(block, kFirstCurveBlock, kLastCurveBlock);
    if (!b) return std::nullopt;
    return Bytes{kCurveBlockRequestCode, 5, *b, kCurveBlockRequestConstant, kLineFeed};
}

std::optional<Bytes> CorrectionCommand(double steps, double direction) {
    const auto s = ByteInRange(steps, 1, 255);
    const auto d = ToByte(direction);
    // The ECU knows two directions only: 0 and 255.
    if (!s || !d || (*d != 0 && *d != 255)) return std::nullopt;
    return Bytes{kCorrectionCode, 5, *s, *d, kLineFeed};
}

std::uint8_t FrameCheck(const Bytes& frameWithoutCheck) {
    // The code and length bytes (the first two) are not part of the sum.
    unsigned sum = 0;
    for (std::size_t i = 2; i < frameWithoutCheck.size(); ++i) sum += frameWithoutCheck[i];
    return static_cast<std::uint8_t>(sum % 256);
}

std::optional<Bytes> SettingWrite(double address, double value) {
    const auto a = ToByte(address);
    const auto v = ToByte(value);
    if (!a || !v) return std::nullopt;
    Bytes frame{kSettingWriteCode, 7, *a, 0, *v};
    frame.push_back(FrameCheck(frame));
    frame.push_back(kLineFeed);
    return frame;
}

std::optional<Bytes> SettingWordWrite(double address, double value) {
    const auto a = ToByte(address);
    const auto v = WholeInRange(value, 0, 65535);
    if (!a || !v) return std::nullopt;
    const auto word = static_cast<unsigned>(*v);
    Bytes frame{kSettingWordWriteCode, 8, *a, 0, static_cast<std::uint8_t>(word % 256),
                static_cast<std::uint8_t>(word / 256)};
    frame.push_back(FrameCheck(frame));
    frame.push_back(kLineFeed);
    return frame;
}

std::optional<Bytes> CurveBlockWrite(double block, const std::array<double, 18>& data) {
    const auto b = ByteInRange(block, kFirstCurveBlock, kLastCurveBlock);
    if (!b) return std::nullopt;
    Bytes frame{kCurveBlockWriteCode, 24, *b};
    for (double value : data) {
        const auto byte = ToByte(value);
        if (!byte) return std::nullopt;  // one bad point spoils the whole block
        frame.push_back(*byte);
    }
    const std::uint16_t crc = BlockCrc(frame.data(), frame.size());
    frame.push_back(static_cast<std::uint8_t>(crc & 0xFF));  // low byte goes first
    frame.push_back(static_cast<std::uint8_t>(crc >> 8));
    frame.push_back(kLineFeed);
    return frame;
}

std::uint8_t RotateRightThroughCarry(std::uint8_t byte, bool& carry) {
    const bool oldBit0 = (byte & 1) != 0;
    const auto rotated = static_cast<std::uint8_t>((carry ? 128 : 0) + byte / 2);
    carry = oldBit0;
    return rotated;
}

// Bit by bit, as the ECU's own routine does it: for each of the 8 bits, least
// significant first, f = (input XOR low) bit 0; when f is set the polynomial bits are
// flipped in before the shift (low bit 1, high bit 6: together 0xA001 after the
// shift, with f itself rotating into bit 15); then the 16-bit register is shifted
// right by rotating high and then low through the carry.
void CrcAddByte(Crc16& crc, std::uint8_t byte) {
    for (int bit = 8; bit != 0; --bit) {
        const bool f = ((byte ^ crc.low) & 1) != 0;
        byte = static_cast<std::uint8_t>(byte >> 1);
        if (f) {
            crc.low ^= 2;
            crc.high ^= 64;
        }
        bool carry = f;
        crc.high = RotateRightThroughCarry(crc.high, carry);
        crc.low = RotateRightThroughCarry(crc.low, carry);
    }
}

std::uint16_t BlockCrc(const std::uint8_t* data, std::size_t length) {
    Crc16 crc;
    for (std::size_t i = 0; i < length; ++i) CrcAddByte(crc, data[i]);
    return crc.value();
}

std::size_t ReplyLengthFor(const Bytes& frame) {
    if (frame.size() < 3) return 0;
    constexpr std::uint8_t kLiveDataCode = 110;
    constexpr std::uint8_t kHeaderBlock = 10;
    constexpr std::size_t kReply = 13, kBandReply = 20;
    if (frame[0] == kLiveDataCode || frame[0] == kPageRequestCode) return kReply;
    if (frame[0] == kCurveBlockRequestCode) return frame[2] == kHeaderBlock ? kReply : kBandReply;
    return 0;
}

}  // namespace gasecu::frames
