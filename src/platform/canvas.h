#pragma once
// Drawing operations of a picture box, in the picture's user coordinates
// (the curve plot's y grows upward). The window paints with QPainter; tests record.
#include <cstdint>
#include <string_view>

namespace gasecu {

using Colour = std::uint32_t;  // 0x00BBGGRR, system colours 0x800000nn

enum class TextAlign { Left, Centre, Right };
enum class LineStyle { Solid, Dashed };

class Canvas {
public:
    virtual ~Canvas() = default;
    // Erases every drawing back to the picture's background.
    virtual void clear() = 0;
    virtual void setLineWidth(int width) = 0;
    // Lines drawn after this call take the style (circles stay solid); a canvas
    // that cannot dash draws every line solid.
    virtual void setLineStyle(LineStyle) {}
    virtual void line(double x1, double y1, double x2, double y2, Colour colour) = 0;
    virtual void circle(double cx, double cy, double radius, Colour colour) = 0;
    // A short caption (UTF-8) whose left end, centre or right end lies at x, its
    // middle at height y. A surface without text (the curve plot's) ignores it.
    virtual void text(double /*x*/, double /*y*/, std::string_view /*text*/, Colour /*colour*/, TextAlign /*align*/) {}
};

}  // namespace gasecu
