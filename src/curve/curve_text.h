#pragma once
// The curve text format, shared by the fitter's curve files, the default curve
// written at start-up and the factory reference curve read by the calibration run.
//
// Nine lines, each ended by CR LF: line 1 the curve head (CurveTable row 1), line 2
// the petrol-time axis (row 2), lines 3..8 the six band curves (rows 3..8), line 9
// the end marker "<::::> ". Every number is a whole number followed by one blank.
//
// Parsing is pure (text in, rows out) so that a faulty file can be refused before
// anything in the window's curve is touched.
#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace gasecu {

// Same type as Form1Korvane's CurveTable (rows 0..8, points 0..18; row 0 and point 0
// unused).
using CurveRows = std::array<std::array<double, 19>, 9>;

namespace curve {

inline constexpr std::string_view kEndMarker = "<::::> ";

// Lines 1..8 of a curve text that parsed without fault.
struct ParsedCurve {
    CurveRows values{};                // row L, points 1..pointCount[L]
    std::array<int, 9> pointCount{};  // numbers line L gave (a line may give fewer)
    bool endMarkerValid = false;      // line 9 is exactly "<::::> "

    // Takes the parsed numbers over into the table. Points a line did not give keep
    // their values, as do row 0 and point 0.
    void applyTo(CurveRows& table) const;
};

struct CurveTextError {
    int line = 0;  // 1..9, the line where reading stopped
    std::string reason;         // why, in English ("bad number at point 3")
    std::string turkishReason;  // the same in Turkish
};

// The values a curve file holds (and reads back): 16-bit whole numbers.
inline constexpr double kLowestFileValue = -32768;
inline constexpr double kHighestFileValue = 32767;

// Every value the curve text format writes (row 1 points 1..6, rows 2..8 points
// 1..18) lies within what the reader takes back.
bool CurveFitsTheFile(const CurveRows& table);

// Reads a curve text. A line ends at CR (an LF right after it is skipped; an LF
// alone does not end a line); anything after line 9 is ignored. On lines 1..8 each
// blank ends a number, and the characters after the last blank are the line's last
// number when there are any (a hand-edited line often lacks the final blank; the
// tool's own files always have it, so they read as they always did). Faults: fewer
// than nine lines, two blanks in a row (an empty number), a number that is not a
// decimal number or lies outside -32768..32767 (fractions round half to even), more
// than 18 numbers on a line. The reason names what the fitter can mend: LF-only
// line ends, a byte order mark or UTF-16 from an editor, rather than the number
// they happen to spoil. A wrong end marker is not a fault: it only leaves
// endMarkerValid false.
std::optional<ParsedCurve> ParseCurveText(std::string_view text, CurveTextError* error = nullptr);

// Writes rows 1..8 in the curve text format: row 1 with points 1..6, rows 2..8 with
// points 1..18, then the end marker; every line ends with CR LF.
std::string FormatCurveText(const CurveRows& table);

}  // namespace curve
}  // namespace gasecu
