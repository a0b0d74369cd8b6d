#pragma once
// A canvas that keeps the drawing calls instead of painting pixels. The window uses
// it until a real painter canvas is put in place (headless runs, the service
// commands), and tests read the calls back.
//
// The picture is redrawn from scratch 40 times a second, so the record holds what
// the picture shows now: the last clear() and every call after it. Older calls are
// dropped at each clear, which keeps a long headless run from growing without end.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/canvas.h"

namespace gasecu {

struct DrawCall {
    enum class Kind { Clear, LineWidth, Line, Circle, Style, Text };
    Kind kind = Kind::Clear;
    // Line: (x1, y1) to (x2, y2). Circle: centre (x1, y1), radius in r.
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0, r = 0;
    Colour colour = 0;
    int width = 0;  // LineWidth only
    LineStyle style = LineStyle::Solid;  // Style only
    std::string text = {};  // Text only, at (x1, y1)
    TextAlign align = TextAlign::Left;
};

class RecordingCanvas : public Canvas {
public:
    void clear() override;
    void setLineWidth(int width) override;
    void setLineStyle(LineStyle style) override;
    void line(double x1, double y1, double x2, double y2, Colour colour) override;
    void circle(double cx, double cy, double radius, Colour colour) override;
    void text(double x, double y, std::string_view text, Colour colour, TextAlign align) override;

    // The calls since (and including) the last clear; before any clear, every call.
    const std::vector<DrawCall>& calls() const { return calls_; }
    // How many times the picture has been cleared since the canvas was made.
    std::uint64_t clearCount() const { return clears_; }
    // How many drawing calls (clears included) were made in all.
    std::uint64_t totalCalls() const { return total_; }

private:
    void record(const DrawCall& call);

    std::vector<DrawCall> calls_;
    std::uint64_t clears_ = 0;
    std::uint64_t total_ = 0;
};

}  // namespace gasecu
