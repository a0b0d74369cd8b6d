#pragma once
// Whether a byte string is one whole, sound frame of the tool's: a command code the
// ECU knows, its length byte, the fixed and limited bytes within what the ECU
// takes, a right check byte (setting writes) or CRC (curve blocks) and the closing
// line feed. Everything the tool hands to the line must pass; the soak test and
// the fuzz targets hold every frame sent to it.
#include <string_view>

#include "platform/bytes.h"

namespace gasecu::frames {

enum class FrameFault {
    None,
    UnknownCode,   // no command of the ECU starts with this byte (or the frame is empty)
    WrongLength,   // the length byte or the byte count is not the command's length
    FixedByte,     // a constant byte of the command differs
    OutOfRange,    // a page, block, step count, direction or zero byte the ECU does not take
    BadCheck,      // the sum byte of a setting write is wrong
    BadCrc,        // the CRC of a curve block write is wrong
    NoLineFeed,    // the last byte is not 10
};

FrameFault CheckToolFrame(const Bytes& frame);
std::string_view FrameFaultName(FrameFault fault);

}  // namespace gasecu::frames
