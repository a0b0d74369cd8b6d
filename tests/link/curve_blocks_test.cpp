// The curve as the ECU's seven blocks: encoding, what cannot be
// written, and the comparison of a read back with what was sent.
#include <gtest/gtest.h>

#include <cmath>

#include "link/command_frames.h"
#include "link/curve_blocks.h"

namespace gasecu {
namespace {

// Idle level 25; every band starts 30, 31, 31 and then rises by 2 a point.
CurveRows WritableCurve() {
    CurveRows c{};
    const double head[] = {4, 25, 116, 110, 134, 122};
    for (std::size_t p = 1; p <= 6; ++p) c[1][p] = head[p - 1];
    for (std::size_t r = 3; r <= 8; ++r) {
        c[r][1] = 30;
        c[r][2] = 31;
        c[r][3] = 31;
        for (std::size_t p = 4; p <= 18; ++p) c[r][p] = c[r][p - 1] + 2;
    }
    return c;
}

TEST(CurveBlocks, BandBlocksCarryTheRisesAndTheHeadGoesAsItIs) {
    CurveRows c = WritableCurve();
    c[1][7] = 200;  // head points 7..18 go out whatever they hold
    c[1][18] = 9;
    for (std::size_t p = 0; p <= 18; ++p) c[2][p] = -77;  // the axis row is never sent
    for (std::size_t r = 0; r <= 8; ++r) c[r][0] = 9999;  // nor is point 0

    const link::EncodedCurve e = link::EncodeCurveBlocks(c);
    ASSERT_TRUE(e.blocks);
    const Bytes head = link::CurveBlockFrame(10, (*e.blocks)[0]);
    EXPECT_EQ(head, (Bytes{77, 24, 10, 4, 25, 116, 110, 134, 122, 200, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 9,
                           head[21], head[22], 10}));

    const Bytes band1 = link::CurveBlockFrame(11, (*e.blocks)[1]);
    ASSERT_EQ(band1.size(), 24u);
    EXPECT_EQ((Bytes{band1.begin(), band1.begin() + 7}), (Bytes{77, 24, 11, 5, 1, 0, 2}));
    // CRC over the first 21 bytes, low byte first, then the line feed.
    const std::uint16_t crc = frames::BlockCrc(band1.data(), 21);
    EXPECT_EQ(band1[21], crc & 0xFF);
    EXPECT_EQ(band1[22], crc >> 8);
    EXPECT_EQ(band1[23], 10);
    EXPECT_EQ(link::CurveBlockFrame(16, (*e.blocks)[6])[2], 16);
}

TEST(CurveBlocks, ACurveThatCannotBeWrittenNamesItsFirstBadPoint) {
    struct Case {
        const char* what;
        std::size_t row, point;
        double value;
        link::CurveByteFault fault;
        std::size_t faultRow, faultPoint;
    };
    const Case cases[] = {
        {"head value over a byte", 1, 5, 256, link::CurveByteFault::HeadOutOfRange, 1, 5},
        {"negative head value", 1, 12, -1, link::CurveByteFault::HeadOutOfRange, 1, 12},
        {"band starts under idle", 5, 1, 24, link::CurveByteFault::BelowIdleLevel, 5, 1},
        {"band falls", 8, 9, 30, link::CurveByteFault::Falls, 8, 9},
        {"rise of 256", 6, 4, 31 + 256, link::CurveByteFault::RisesTooMuch, 6, 4},
        // A first point 300 over the idle level used to go out as 44 and be
        // reported written: the ECU then held a curve the fitter never made.
        {"first point 300 over idle", 3, 1, 25 + 300, link::CurveByteFault::RisesTooMuch, 3, 1},
        {"first point 600 over idle", 7, 1, 25 + 600, link::CurveByteFault::RisesTooMuch, 7, 1},
        {"first point 256 over idle", 4, 1, 25 + 256, link::CurveByteFault::RisesTooMuch, 4, 1},
        {"not a number", 4, 6, std::nan(""), link::CurveByteFault::Falls, 4, 6},
    };
    for (const Case& k : cases) {
        CurveRows c = WritableCurve();
        // The points after the changed one keep their place above it.
        for (std::size_t p = k.point; p <= 18; ++p)
            if (k.row != 1 && !std::isnan(k.value) && k.value > c[k.row][p]) c[k.row][p] = k.value;
        c[k.row][k.point] = k.value;
        const CurveRows before = c;
        const link::EncodedCurve e = link::EncodeCurveForWrite(c);
        ASSERT_TRUE(e.fault) << k.what;
        EXPECT_FALSE(e.blocks) << k.what;
        EXPECT_EQ(e.fault->fault, k.fault) << k.what;
        EXPECT_EQ(e.fault->where, (link::CurvePoint{k.faultRow, k.faultPoint})) << k.what;
        if (!std::isnan(k.value)) {
            EXPECT_EQ(c, before) << k.what << ": the table itself is not touched";
        }
    }
    // The largest rise a byte carries, 255, is written as it is.
    CurveRows c = WritableCurve();
    for (std::size_t p = 1; p <= 18; ++p) c[3][p] = 25 + 255 + static_cast<double>(p - 1);
    const link::EncodedCurve e = link::EncodeCurveForWrite(c);
    ASSERT_TRUE(e.blocks);
    EXPECT_EQ((*e.blocks)[1][0], 255);
    EXPECT_EQ((*e.blocks)[1][1], 1);
}

TEST(CurveBlocks, MessagesNameTheBandThePointAndWhy) {
    const auto refused = link::UnwritableMessage({{4, 7}, link::CurveByteFault::Falls});
    EXPECT_EQ(refused.turkish, "EĞRİ YAZILAMAZ : 2000 RPM NOKTA 7 BİR ÖNCEKİNDEN DÜŞÜK ! ");
    EXPECT_EQ(refused.english, "CURVE CANNOT BE WRITTEN : 2000 RPM POINT 7 LOWER THAN THE POINT BEFORE ! ");
    EXPECT_EQ(link::UnwritableMessage({{1, 2}, link::CurveByteFault::HeadOutOfRange}).english,
              "CURVE CANNOT BE WRITTEN : HEAD POINT 2 OUTSIDE 0..255 ! ");
    const auto differs = link::DifferenceMessage({8, 18});
    EXPECT_EQ(differs.turkish, "EĞRİ KONTROLÜ HATALI : 6000 RPM NOKTA 18 FARKLI OKUNDU ! ");
    EXPECT_EQ(differs.english, "CURVE CHECK FAILED : 6000 RPM POINT 18 READ BACK DIFFERENT ! ");
}

TEST(CurveBlocks, ReadBackIsComparedWithWhatWasSent) {
    const link::CurveBlocks sent = *link::EncodeCurveBlocks(WritableCurve()).blocks;
    // A read stores the head's first six bytes in row 1 and the rises in rows 3..8.
    CurveRows read{};
    for (std::size_t p = 1; p <= 6; ++p) read[1][p] = sent[0][p - 1];
    for (std::size_t r = 3; r <= 8; ++r)
        for (std::size_t p = 1; p <= 18; ++p) read[r][p] = sent[r - 2][p - 1];
    EXPECT_FALSE(link::FirstDifference(sent, read));

    CurveRows other = read;
    other[1][10] = 99;  // the head's points 7..18 do not come back
    other[2][3] = 99;   // nor is the axis read
    EXPECT_FALSE(link::FirstDifference(sent, other));

    other[6][11] += 1;
    other[7][2] += 1;
    EXPECT_EQ(link::FirstDifference(sent, other), (link::CurvePoint{6, 11}));
    other[1][6] = -1;  // a head byte never read
    EXPECT_EQ(link::FirstDifference(sent, other), (link::CurvePoint{1, 6}));
}

}  // namespace
}  // namespace gasecu
