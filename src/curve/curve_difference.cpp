#include "curve/curve_difference.h"

#include "curve/curve_bands.h"

namespace gasecu::curve {

std::vector<PointDifference> DifferingPoints(const CurveRows& first, const CurveRows& second) {
    std::vector<PointDifference> out;
    for (int band = 0; band < kBandCount; ++band) {
        const auto row = static_cast<std::size_t>(band) + static_cast<std::size_t>(kFirstBandRow);
        for (int point = 1; point <= kPointCount; ++point) {
            const auto p = static_cast<std::size_t>(point);
            if (first[row][p] != second[row][p]) out.push_back({band, point, first[row][p], second[row][p]});
        }
    }
    return out;
}

}  // namespace gasecu::curve
