#include "platform/recording_canvas.h"

namespace gasecu {

void RecordingCanvas::clear() {
    calls_.clear();
    calls_.push_back(DrawCall{});
    ++clears_;
    ++total_;
}

void RecordingCanvas::setLineWidth(int width) {
    DrawCall c;
    c.kind = DrawCall::Kind::LineWidth;
    c.width = width;
    calls_.push_back(c);
    ++total_;
}

void RecordingCanvas::line(double x1, double y1, double x2, double y2, Colour colour) {
    DrawCall c;
    c.kind = DrawCall::Kind::Line;
    c.x1 = x1;
    c.y1 = y1;
    c.x2 = x2;
    c.y2 = y2;
    c.colour = colour;
    calls_.push_back(c);
    ++total_;
}

void RecordingCanvas::circle(double cx, double cy, double radius, Colour colour) {
    DrawCall c;
    c.kind = DrawCall::Kind::Circle;
    c.x1 = cx;
    c.y1 = cy;
    c.r = radius;
    c.colour = colour;
    calls_.push_back(c);
    ++total_;
}

}  // namespace gasecu
