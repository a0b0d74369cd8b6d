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
    auto fail = [error](int line, std::string english, std::string turkish) -> std::optional<ParsedCurve> {
        if (error) *error = CurveTextError{line, std::move(english), std::move(turkish)};
        return std::nullopt;
    };
    // An editor's "UTF-8" or "Unicode" save puts marks before the first number; the
    // fitter can mend that by saving as plain text, not by looking at point 1.
    if (text.starts_with("\xEF\xBB\xBF"))
        return fail(1, "starts with a UTF-8 byte order mark, save it as plain text",
                    "UTF-8 BOM ile başlıyor, düz metin olarak kaydedin");
    if (text.starts_with("\xFF\xFE") || text.starts_with("\xFE\xFF"))
        return fail(1, "UTF-16 text, save it as plain text", "UTF-16 metin, düz metin olarak kaydedin");
    const std::vector<std::string_view> lines = SplitLines(text);
    // A line that holds an LF was ended by LF alone (a file from a Unix editor):
    // its lines run together.
    auto lfLine = [&lines]() -> int {
        for (std::size_t i = 0; i < lines.size(); ++i)
            if (lines[i].find('\n') != std::string_view::npos) return static_cast<int>(i) + 1;
        return 0;
    };
    constexpr const char* kLfEnglish = "line ends must be CR LF, this file ends lines with LF alone";
    constexpr const char* kLfTurkish = "satır sonları CR LF olmalı, bu dosyada satırlar yalnız LF ile bitiyor";
    if (lines.size() < 9) {
        if (const int line = lfLine()) return fail(line, kLfEnglish, kLfTurkish);
        return fail(static_cast<int>(lines.size()) + 1, "fewer than nine lines", "dokuz satırdan az");
    }

    ParsedCurve curve;
    for (int row = 1; row <= 8; ++row) {
        const std::string_view line = lines[row - 1];
        const bool lfInside = line.find('\n') != std::string_view::npos;
        int point = 1;
        auto take = [&](std::string_view token) -> bool {
            if (point > 18) return false;
            const auto value = ParseNumber(token);
            if (!value) return false;
            curve.values[row][point] = *value;
            curve.pointCount[row] = point;
            ++point;
            return true;
        };
        auto why = [&]() {
            if (lfInside) return fail(row, kLfEnglish, kLfTurkish);
            if (point > 18) return fail(row, "more than 18 numbers", "18'den fazla sayı");
            return fail(row, "bad number at point " + std::to_string(point),
                        std::to_string(point) + ". noktada hatalı sayı");
        };
        std::size_t tokenStart = 0;
        for (std::size_t i = 0; i < line.size(); ++i) {
            if (line[i] != ' ') continue;
            if (!take(line.substr(tokenStart, i - tokenStart))) return why();
            tokenStart = i + 1;
        }
        // The last number of a line that does not end with a blank.
        if (tokenStart < line.size() && !take(line.substr(tokenStart))) return why();
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
