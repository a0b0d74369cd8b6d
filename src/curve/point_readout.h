#pragma once
// What the fitter reads about the curve plot beyond the drawing: the band, petrol
// time, gas time and value of the point under the mouse or marked for editing, and
// how high the plot's gas-time axis must reach to show every point of every band.
//
// The plot's user units: point p of a band lies at x = 40 p, one grid column of
// 1 ms petrol time each, so point p stands for p ms of petrol time; a band value
// v lies at y = v, 20 units per ms of gas time, so it stands for v / 20 ms of gas
// time (the live operating point is placed by the same two scales).
#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace gasecu::curve {

using CurveRows = std::array<std::array<double, 19>, 9>;

// The top of the plot's user coordinates while every point fits: 28 ms of gas time.
inline constexpr double kPlotTop = 559;
// Plot units per millisecond of gas time (y) and of petrol time (x).
inline constexpr double kUnitsPerGasMs = 20;
inline constexpr double kUnitsPerPetrolMs = 40;

struct PointReadout {
    int band = 0;   // 0..5: 1000..6000 rpm
    int point = 1;  // 1..18
    double petrolMs = 0;
    double gasMs = 0;
    double value = 0;  // the curve's own units, as stored in the ECU
    bool operator==(const PointReadout&) const = default;
};

// The readout of one point of one band (band 0..5, point 1..18).
PointReadout ReadoutOf(const CurveRows& table, int band, int point);

// The point drawn nearest to (x, y) in plot units, if one lies within the given
// distances along each axis; among equally near points the faster band, which is
// drawn on top, wins.
std::optional<PointReadout> PointNear(const CurveRows& table, double x, double y, double xReach, double yReach);

// The point a fitter marked for editing: the first marked point (raise or lower
// box k marks point k + 1) of the slowest selected band; none while no band is
// selected or no point is marked.
std::optional<PointReadout> MarkedPoint(const CurveRows& table, const std::array<std::uint8_t, 6>& bandSelected,
                                        const std::array<bool, 18>& marked);

// The plot's top in user units: kPlotTop while every band point lies at or under
// it, else raised in whole milliseconds of gas time (20 units) so the highest point
// stands at least half a millisecond under the new top.
double PlotTopFor(const CurveRows& table);

// The readout as the fitter reads it, one line per figure ("BANT : 1000 rpm",
// "BENZİN : 7.00 ms", ...), Turkish or English, times with the fitter's decimal mark.
std::string ReadoutText(const PointReadout& readout, bool english, char decimalSeparator);

}  // namespace gasecu::curve
