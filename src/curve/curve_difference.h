#pragma once
// The points in which two curves differ, band by band: what a fitter checks when
// he puts a kept curve beside the one in the editor.
#include <vector>

#include "curve/point_readout.h"

namespace gasecu::curve {

struct PointDifference {
    int band = 0;   // 0..5: 1000..6000 rpm
    int point = 1;  // 1..18
    double first = 0;   // the value in the first curve
    double second = 0;  // in the second
    bool operator==(const PointDifference&) const = default;
};

// Every band point whose values differ, slowest band first, points in order.
std::vector<PointDifference> DifferingPoints(const CurveRows& first, const CurveRows& second);

}  // namespace gasecu::curve
