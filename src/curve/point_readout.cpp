// The point readout and the plot's vertical range (see point_readout.h).
#include "curve/point_readout.h"

#include <algorithm>
#include <cmath>

#include "app/number_format.h"
#include "curve/curve_bands.h"

namespace gasecu::curve {

PointReadout ReadoutOf(const CurveRows& table, int band, int point) {
    PointReadout r;
    r.band = band;
    r.point = point;
    r.value = table[kFirstBandRow + band][point];
    r.petrolMs = point;  // grid column p: p ms
    r.gasMs = r.value / kUnitsPerGasMs;
    return r;
}

std::optional<PointReadout> PointNear(const CurveRows& table, double x, double y, double xReach, double yReach) {
    std::optional<PointReadout> best;
    double bestDistance = 0;
    for (int b = 0; b < kBandCount; ++b) {
        for (int p = 1; p <= kPointCount; ++p) {
            const double dx = (x - kUnitsPerPetrolMs * p) / xReach;
            const double dy = (y - table[kFirstBandRow + b][p]) / yReach;
            if (std::abs(dx) > 1 || std::abs(dy) > 1) continue;
            const double distance = dx * dx + dy * dy;
            // "<=": a later (faster) band is drawn over an earlier one.
            if (!best || distance <= bestDistance) {
                best = ReadoutOf(table, b, p);
                bestDistance = distance;
            }
        }
    }
    return best;
}

std::optional<PointReadout> MarkedPoint(const CurveRows& table, const std::array<std::uint8_t, 6>& bandSelected,
                                        const std::array<bool, 18>& marked) {
    for (int b = 0; b < kBandCount; ++b) {
        if (bandSelected[b] != kSelected) continue;
        for (int k = 0; k < kPointCount; ++k)
            if (marked[k]) return ReadoutOf(table, b, k + 1);
        return std::nullopt;
    }
    return std::nullopt;
}

double PlotTopFor(const CurveRows& table) {
    double highest = 0;
    for (int b = 0; b < kBandCount; ++b)
        for (int p = 1; p <= kPointCount; ++p) {
            const double v = table[kFirstBandRow + b][p];
            if (std::isfinite(v)) highest = std::max(highest, v);
        }
    if (highest <= kPlotTop) return kPlotTop;
    // Whole milliseconds, the last grid line half a millisecond or more above the
    // point; the top lies one unit under the line, as the 28 ms top does.
    const double rows = std::ceil((highest + kUnitsPerGasMs / 2 + 1) / kUnitsPerGasMs);
    return rows * kUnitsPerGasMs - 1;
}

std::string ReadoutText(const PointReadout& r, bool english, char decimalSeparator) {
    const std::string rpm = std::to_string(1000 * (r.band + 1)) + " rpm";
    const std::string petrol = FormatFixed(r.petrolMs, 2, decimalSeparator) + " ms";
    const std::string gas = FormatFixed(r.gasMs, 2, decimalSeparator) + " ms";
    const std::string value = FormatFixed(r.value, 0, decimalSeparator);
    if (english)
        return "BAND : " + rpm + "\nPOINT : " + std::to_string(r.point) + "\nPETROL : " + petrol + "\nGAS : " + gas +
               "\nVALUE : " + value;
    return "BANT : " + rpm + "\nNOKTA : " + std::to_string(r.point) + "\nBENZİN : " + petrol + "\nGAZ : " + gas +
           "\nDEĞER : " + value;
}

}  // namespace gasecu::curve
