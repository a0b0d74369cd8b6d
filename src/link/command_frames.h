#pragma once
// Every frame the tool sends to the ECU: code, total length, body, line feed (10).
// The body may itself hold the value 10, so the ECU finds a frame's end by its
// length byte. Builders refuse a value that does not fit its byte (or word) rather
// than wrapping it: a wrapped byte would silently write a wrong setting or curve.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "platform/bytes.h"

namespace gasecu::frames {

// Fixed 4-byte commands.
inline const Bytes kLiveDataRequest{110, 4, 110, 10};
inline const Bytes kPetrolCommand{132, 4, 142, 10};
inline const Bytes kWriteStartCommand{133, 4, 143, 10};
inline const Bytes kGasCommand{144, 4, 154, 10};
inline const Bytes kWriteEndCommand{202, 4, 202, 10};
inline const Bytes kWriteCloseCommand{5, 4, 5, 10};
inline const Bytes kCalibrationBeginCommand{155, 4, 165, 10};
inline const Bytes kCalibrationPetrolCommand{111, 4, 121, 10};
inline const Bytes kCalibrationGasCommand{122, 4, 132, 10};
inline const Bytes kCalibrationEndCommand{156, 4, 166, 10};

// Command codes of the variable frames.
inline constexpr std::uint8_t kPageRequestCode = 109;
inline constexpr std::uint8_t kCurveBlockRequestCode = 106;
inline constexpr std::uint8_t kCorrectionCode = 99;
inline constexpr std::uint8_t kSettingWriteCode = 75;
inline constexpr std::uint8_t kSettingWordWriteCode = 76;
inline constexpr std::uint8_t kCurveBlockWriteCode = 77;

// 109, 5, page, 66, 10 (page 1..8).
[[nodiscard]] std::optional<Bytes> PageRequest(double page);
// 106, 5, block, 63, 10 (block 10..16: 10 is the curve header, 11..16 the bands).
[[nodiscard]] std::optional<Bytes> CurveBlockRequest(double block);
// 99, 5, steps (1..255), direction (0 or 255), 10. No check byte.
[[nodiscard]] std::optional<Bytes> CorrectionCommand(double steps, double direction);
// 75, 7, address, 0, value, check, 10.
[[nodiscard]] std::optional<Bytes> SettingWrite(double address, double value);
// 76, 8, address, 0, low, high, check, 10 (value 0..65535).
[[nodiscard]] std::optional<Bytes> SettingWordWrite(double address, double value);
// 77, 24, block (10..16), 18 data bytes, CRC low, CRC high, 10. The CRC covers the
// first 21 bytes. One data value that does not fit its byte refuses the whole block.
[[nodiscard]] std::optional<Bytes> CurveBlockWrite(double block, const std::array<double, 18>& data);

// The length of the ECU's answer to a frame: 13 for a live or page request and for
// the curve header, 20 for a curve band block, 0 for every frame the ECU does not
// answer (commands and writes).
std::size_t ReplyLengthFor(const Bytes& frame);

// Sum of the bytes between the length byte and the check byte, modulo 256.
std::uint8_t FrameCheck(const Bytes& frameWithoutCheck);

// CRC-16/ARC: reflected polynomial 0xA001, start 0, no final inversion.
// Kept as the two register bytes the ECU protocol names.
struct Crc16 {
    std::uint8_t low = 0;
    std::uint8_t high = 0;
    std::uint16_t value() const { return static_cast<std::uint16_t>(high << 8 | low); }
};
// New byte = carry * 128 + byte / 2; the carry becomes the old bit 0.
std::uint8_t RotateRightThroughCarry(std::uint8_t byte, bool& carry);
void CrcAddByte(Crc16& crc, std::uint8_t byte);
std::uint16_t BlockCrc(const std::uint8_t* data, std::size_t length);

// A value as a frame byte: nearest whole number (halves to even), refused outside 0..255.
std::optional<std::uint8_t> ToByte(double value);

}  // namespace gasecu::frames
