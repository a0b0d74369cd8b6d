#include "platform/recording_canvas.h"

namespace gasecu {

void RecordingCanvas::record(const DrawCall& call) {
    calls_.push_back(call);
    ++total_;
}

void RecordingCanvas::clear() {
    calls_.clear();
    ++clears_;
    record({.kind = DrawCall::Kind::Clear});
}

void RecordingCanvas::setLineWidth(int width) { record({.kind = DrawCall::Kind::LineWidth, .width = width}); }

void RecordingCanvas::setLineStyle(LineStyle style) { record({.kind = DrawCall::Kind::Style, .style = style}); }

void RecordingCanvas::line(double x1, double y1, double x2, double y2, Colour colour) {
    record({.kind = DrawCall::Kind::Line, .x1 = x1, .y1 = y1, .x2 = x2, .y2 = y2, .colour = colour});
}

void RecordingCanvas::circle(double cx, double cy, double radius, Colour colour) {
    record({.kind = DrawCall::Kind::Circle, .x1 = cx, .y1 = cy, .r = radius, .colour = colour});
}

void RecordingCanvas::text(double x, double y, std::string_view text, Colour colour, TextAlign align) {
    record({.kind = DrawCall::Kind::Text, .x1 = x, .y1 = y, .colour = colour, .text = std::string(text), .align = align});
}

}  // namespace gasecu
