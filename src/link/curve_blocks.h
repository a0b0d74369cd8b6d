#pragma once
// The curve as the ECU stores it: seven blocks of 18 bytes. Block 10 is the curve
// head (row 1 of the table as it is); blocks 11..16 are the bands 1000..6000 rpm
// (rows 3..8), each as the rise of its first point over the idle level followed by
// the rise of every point over the one before. The read decodes the same way.
//
// Pure functions, so that a curve can be judged before a byte goes out and a read
// back can be compared with exactly what was sent.
#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/bytes.h"

namespace gasecu {
using CurveRows = std::array<std::array<double, 19>, 9>;
}

namespace gasecu::link {

inline constexpr int kCurveHeadBlock = 10;
inline constexpr int kCurveBlockCount = 7;  // blocks 10..16
inline constexpr std::size_t kCurveHeadRow = 1;
inline constexpr std::size_t kFirstBandRow = 3;
inline constexpr std::size_t kLastBandRow = 8;

using CurveBlockData = std::array<std::uint8_t, 18>;
// The data bytes of blocks 10..16, entry 0 being block 10.
using CurveBlocks = std::array<CurveBlockData, kCurveBlockCount>;

// Table row of a block: 10 is row 1, 11..16 are rows 3..8.
std::size_t RowOfBlock(int block);

// A point of the table: row 1 (the head) or 3..8 (the bands), point 1..18.
struct CurvePoint {
    std::size_t row = 0;
    std::size_t point = 0;
    bool operator==(const CurvePoint&) const = default;
};

enum class CurveByteFault {
    HeadOutOfRange,  // a head value outside 0..255
    BelowIdleLevel,  // a band's first point lies under the idle level
    Falls,           // a band point lies under the one before
    RisesTooMuch,    // a rise of more than 255
};

struct UnwritablePoint {
    CurvePoint where;
    CurveByteFault fault;
};

struct EncodedCurve {
    std::optional<CurveBlocks> blocks;      // set when every byte fits
    std::optional<UnwritablePoint> fault;   // else the first point that does not
};
// The seven blocks of the table as it stands. Values are rounded to whole numbers
// as the frame builder rounds them. A rise the ECU's byte cannot carry (over 255)
// is refused at its point, never taken down: the ECU would hold a curve the
// fitter never made.
EncodedCurve EncodeCurveBlocks(const CurveRows& table);

// What a write of this table would send: its blocks, the table left as it is.
EncodedCurve EncodeCurveForWrite(const CurveRows& table);

// The CurveBlockWrite frame of block 10..16 (77, 24, block, data, CRC low, high, 10).
Bytes CurveBlockFrame(int block, const CurveBlockData& data);

// A curve read stores the head's first six bytes in row 1 and the bands' rises in
// rows 3..8 of its buffer. The first point (head 1..6, then the bands in order)
// whose read-back byte differs from the one sent, or nothing when all agree.
std::optional<CurvePoint> FirstDifference(const CurveBlocks& sent, const CurveRows& readBuffer);

// A status-line text in both languages.
struct BilingualText {
    std::string turkish;
    std::string english;
};
// The refusal of a curve that cannot be written, naming the band (1000..6000 rpm)
// or the head, the point and why.
BilingualText UnwritableMessage(const UnwritablePoint& p);
// The read-back differs from what was sent at this point.
BilingualText DifferenceMessage(const CurvePoint& p);

}  // namespace gasecu::link
