#include "link/frame_check.h"

#include <array>

#include "link/command_frames.h"

namespace gasecu::frames {
namespace {

bool InRange(std::uint8_t value, int low, int high) { return value >= low && value <= high; }

// The 4-byte commands are fixed as a whole. The frame is not empty.
FrameFault CheckFixed(const Bytes& frame) {
    for (const Bytes* known : {&kLiveDataRequest, &kPetrolCommand, &kWriteStartCommand, &kGasCommand,
                               &kWriteEndCommand, &kWriteCloseCommand, &kCalibrationBeginCommand,
                               &kCalibrationPetrolCommand, &kCalibrationGasCommand, &kCalibrationEndCommand}) {
        if ((*known)[0] != frame[0]) continue;
        if (frame.size() != known->size() || frame[1] != (*known)[1]) return FrameFault::WrongLength;
        if (frame[3] != 10) return FrameFault::NoLineFeed;
        return frame[2] == (*known)[2] ? FrameFault::None : FrameFault::FixedByte;
    }
    return FrameFault::UnknownCode;
}

std::size_t LengthOf(std::uint8_t code) {
    switch (code) {
        case kPageRequestCode:
        case kCurveBlockRequestCode:
        case kCorrectionCode:
            return 5;
        case kSettingWriteCode:
            return 7;
        case kSettingWordWriteCode:
            return 8;
        case kCurveBlockWriteCode:
            return 24;
        default:
            return 0;
    }
}

FrameFault CheckVariable(const Bytes& f) {
    switch (f[0]) {
        case kPageRequestCode:
            if (f[3] != 66) return FrameFault::FixedByte;
            return InRange(f[2], 1, 8) ? FrameFault::None : FrameFault::OutOfRange;
        case kCurveBlockRequestCode:
            if (f[3] != 63) return FrameFault::FixedByte;
            return InRange(f[2], 10, 16) ? FrameFault::None : FrameFault::OutOfRange;
        case kCorrectionCode:
            return f[2] >= 1 && (f[3] == 0 || f[3] == 255) ? FrameFault::None : FrameFault::OutOfRange;
        case kSettingWriteCode:
        case kSettingWordWriteCode: {
            if (f[3] != 0) return FrameFault::OutOfRange;
            // A word takes two addresses; the ECU has none after 255.
            if (f[0] == kSettingWordWriteCode && f[2] == 255) return FrameFault::OutOfRange;
            const Bytes body(f.begin(), f.end() - 2);
            return f[f.size() - 2] == FrameCheck(body) ? FrameFault::None : FrameFault::BadCheck;
        }
        case kCurveBlockWriteCode: {
            if (!InRange(f[2], 10, 16)) return FrameFault::OutOfRange;
            const std::uint16_t crc = BlockCrc(f.data(), 21);
            return f[21] == (crc & 0xFF) && f[22] == (crc >> 8) ? FrameFault::None : FrameFault::BadCrc;
        }
        default:
            return FrameFault::UnknownCode;
    }
}

}  // namespace

FrameFault CheckToolFrame(const Bytes& frame) {
    if (frame.empty()) return FrameFault::UnknownCode;
    const std::size_t length = LengthOf(frame[0]);
    if (length == 0) return CheckFixed(frame);
    if (frame.size() != length || frame[1] != length) return FrameFault::WrongLength;
    if (frame.back() != 10) return FrameFault::NoLineFeed;
    return CheckVariable(frame);
}

std::string_view FrameFaultName(FrameFault fault) {
    switch (fault) {
        case FrameFault::None: return "sound";
        case FrameFault::UnknownCode: return "unknown command code";
        case FrameFault::WrongLength: return "wrong length";
        case FrameFault::FixedByte: return "wrong constant byte";
        case FrameFault::OutOfRange: return "value out of range";
        case FrameFault::BadCheck: return "wrong check byte";
        case FrameFault::BadCrc: return "wrong CRC";
        case FrameFault::NoLineFeed: return "no closing line feed";
    }
    return "?";
}

}  // namespace gasecu::frames
