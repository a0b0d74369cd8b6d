#include "curve/curve_text.h"

#include <charconv>
#include <cmath>
#include <vector>

namespace gasecu::curve {

namespace {

// The first nine lines, without their line ends. Fewer lines than nine leave the
// vector short.
std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size() && lines.size() < 9) {
        std::size_t cr = text.find('\r', start);
        if (cr == std::string_view::npos) {
            lines.push_back(text.substr(start));  // last line, ended by the end of the file
            break;
        }
        lines.push_back(text.substr(start, cr - start));
        start = cr + 1;
        if (start < text.size() && text[start] == '\n') ++start;
    }
    return lines;
}

// A decimal number with an optional sign and fraction ("12", "-3", "+4", "2.5",
// ".5"), rounded half to even, within the 16-bit range the ECU's tables hold.
std::optional<double> ParseNumber(std::string_view token) {
    std::string_view body = token;
    bool negative = false;
    if (!body.empty() && (body.front() == '-' || body.front() == '+')) {
        negative = body.front() == '-';
        body.remove_prefix(1);
    }
    int digits = 0, points = 0;
    for (char c : body) {
        if (c >= '0' && c <= '9') {
            ++digits;
        } else if (c == '.') {
            ++points;
        } else {
            return std::nullopt;
        }
    }
    if (digits == 0 || points > 1) return std::nullopt;
    double value = 0;
    auto [end, ec] = std::from_chars(body.data(), body.data() + body.size(), value);
    if (ec != std::errc{} || end != body.data() + body.size()) return std::nullopt;
    if (negative) value = -value;
    value = std::nearbyint(value);  // the default rounding mode: halves to the even neighbour
    if (value < kLowestFileValue || value > kHighestFileValue) return std::nullopt;
    return value + 0.0;  // no negative zero
}

}  // namespace

void ParsedCurve::applyTo(CurveRows& table) const {
    for (int row = 1; row <= 8; ++row)
        for (int p = 1; p <= pointCount[row]; ++p) table[row][p] = values[row][p];
}

std::optional<ParsedCurve> ParseCurveText(std::string_view text, CurveTextError* error) {
    auto fail = [error](int line, std::string reason) -> std::optional<ParsedCurve> {
        if (error) *error = CurveTextError{line, std::move(reason)};
        return std::nullopt;
    };
    const std::vector<std::string_view> lines = SplitLines(text);
    if (lines.size() < 9) return fail(static_cast<int>(lines.size()) + 1, "fewer than nine lines");

    ParsedCurve curve;
    for (int row = 1; row <= 8; ++row) {
        std::string_view line = lines[row - 1];
        int point = 1;
        std::size_t tokenStart = 0;
        for (std::size_t i = 0; i < line.size(); ++i) {
            if (line[i] != ' ') continue;
            if (point > 18) return fail(row, "more than 18 numbers");
            auto value = ParseNumber(line.substr(tokenStart, i - tokenStart));
            if (!value) return fail(row, "bad number at point " + std::to_string(point));
            curve.values[row][point] = *value;
            curve.pointCount[row] = point;
            ++point;
            tokenStart = i + 1;
        }
    }
    curve.endMarkerValid = lines[8] == kEndMarker;
    return curve;
}

bool CurveFitsTheFile(const CurveRows& table) {
    for (int row = 1; row <= 8; ++row)
        for (int p = 1; p <= (row == 1 ? 6 : 18); ++p) {
            // Compared as written: the writer rounds to the nearest whole number.
            const double v = std::round(table[row][p]);
            if (!(v >= kLowestFileValue && v <= kHighestFileValue)) return false;
        }
    return true;
}

std::string FormatCurveText(const CurveRows& table) {
    std::string text;
    auto putRow = [&](int row, int points) {
        for (int p = 1; p <= points; ++p) {
            text += std::to_string(std::llround(table[row][p]));
            text += ' ';
        }
        text += "\r\n";
    };
    putRow(1, 6);
    for (int row = 2; row <= 8; ++row) putRow(row, 18);
    text += kEndMarker;
    text += "\r\n";
    return text;
}

}  // namespace gasecu::curve
