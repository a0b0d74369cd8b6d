#include "link/curve_blocks.h"

#include "link/command_frames.h"

namespace gasecu::link {

namespace {

constexpr std::size_t kPoints = 18;
constexpr std::size_t kIdleLevelPoint = 2;
constexpr std::size_t kHeadPointsRead = 6;  // a read brings back the head's first six
constexpr int kBandRpmStep = 1000;

std::optional<UnwritablePoint> Unwritable(std::size_t row, std::size_t point, CurveByteFault fault) {
    return UnwritablePoint{{row, point}, fault};
}

// One band row as rises: point 1 over the idle level, every other over the one before.
std::optional<UnwritablePoint> EncodeBand(const CurveRows& t, std::size_t row, CurveBlockData& out) {
    double previous = t[kCurveHeadRow][kIdleLevelPoint];
    for (std::size_t p = 1; p <= kPoints; ++p) {
        const double rise = t[row][p] - previous;
        const auto byte = frames::ToByte(rise);
        if (!byte) {
            if (rise > 0) return Unwritable(row, p, CurveByteFault::RisesTooMuch);
            // A NaN lands here too: it is no level at all.
            return Unwritable(row, p, p == 1 ? CurveByteFault::BelowIdleLevel : CurveByteFault::Falls);
        }
        out[p - 1] = *byte;
        previous = t[row][p];
    }
    return std::nullopt;
}

}  // namespace

std::size_t RowOfBlock(int block) {
    return block == kCurveHeadBlock ? kCurveHeadRow : static_cast<std::size_t>(block - kCurveHeadBlock) + 2;
}

EncodedCurve EncodeCurveBlocks(const CurveRows& t) {
    CurveBlocks blocks{};
    for (std::size_t p = 1; p <= kPoints; ++p) {
        const auto byte = frames::ToByte(t[kCurveHeadRow][p]);
        if (!byte) return {std::nullopt, Unwritable(kCurveHeadRow, p, CurveByteFault::HeadOutOfRange)};
        blocks[0][p - 1] = *byte;
    }
    for (std::size_t r = kFirstBandRow; r <= kLastBandRow; ++r)
        if (auto fault = EncodeBand(t, r, blocks[r - 2])) return {std::nullopt, fault};
    return {blocks, std::nullopt};
}

EncodedCurve EncodeCurveForWrite(const CurveRows& table) { return EncodeCurveBlocks(table); }

Bytes CurveBlockFrame(int block, const CurveBlockData& data) {
    std::array<double, kPoints> values{};
    for (std::size_t i = 0; i < kPoints; ++i) values[i] = data[i];
    // Every value is a byte already, so the builder cannot refuse it.
    return *frames::CurveBlockWrite(block, values);
}

std::optional<CurvePoint> FirstDifference(const CurveBlocks& sent, const CurveRows& readBuffer) {
    for (std::size_t p = 1; p <= kHeadPointsRead; ++p)
        if (readBuffer[kCurveHeadRow][p] != sent[0][p - 1]) return CurvePoint{kCurveHeadRow, p};
    for (std::size_t r = kFirstBandRow; r <= kLastBandRow; ++r)
        for (std::size_t p = 1; p <= kPoints; ++p)
            if (readBuffer[r][p] != sent[r - 2][p - 1]) return CurvePoint{r, p};
    return std::nullopt;
}

namespace {

// "2000 RPM NOKTA 7" / "2000 RPM POINT 7"; the head is "BAŞLIK" / "HEAD".
BilingualText PointName(const CurvePoint& p) {
    const std::string point = std::to_string(p.point);
    if (p.row == kCurveHeadRow) return {"BAŞLIK NOKTA " + point, "HEAD POINT " + point};
    const std::string band = std::to_string(static_cast<int>(p.row - 2) * kBandRpmStep) + " RPM";
    return {band + " NOKTA " + point, band + " POINT " + point};
}

BilingualText FaultText(CurveByteFault fault) {
    switch (fault) {
    case CurveByteFault::HeadOutOfRange: return {"0..255 DIŞINDA", "OUTSIDE 0..255"};
    case CurveByteFault::BelowIdleLevel: return {"RÖLANTİ SEVİYESİNİN ALTINDA", "BELOW THE IDLE LEVEL"};
    case CurveByteFault::Falls: return {"BİR ÖNCEKİNDEN DÜŞÜK", "LOWER THAN THE POINT BEFORE"};
    case CurveByteFault::RisesTooMuch: break;
    }
    return {"ÇOK FAZLA YÜKSELİYOR", "RISES TOO MUCH"};
}

}  // namespace

BilingualText UnwritableMessage(const UnwritablePoint& p) {
    const BilingualText where = PointName(p.where);
    const BilingualText why = FaultText(p.fault);
    return {"EĞRİ YAZILAMAZ : " + where.turkish + " " + why.turkish + " ! ",
            "CURVE CANNOT BE WRITTEN : " + where.english + " " + why.english + " ! "};
}

BilingualText DifferenceMessage(const CurvePoint& p) {
    const BilingualText where = PointName(p);
    return {"EĞRİ KONTROLÜ HATALI : " + where.turkish + " FARKLI OKUNDU ! ",
            "CURVE CHECK FAILED : " + where.english + " READ BACK DIFFERENT ! "};
}

}  // namespace gasecu::link
