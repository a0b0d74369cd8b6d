// The trend window: one strip per live value over the last minute, each with its
// own scale, drawn from scratch into TrendPic after every live reply. Some 500
// lines and 20 captions: far less than the curve plot draws 40 times a second.
#include <cmath>
#include <string>

#include "app/form1korvane.h"

namespace gasecu {

namespace {

using ecu::TrendTrace;

constexpr Colour kGridColour = 0x645A5A;     // RGB(90, 90, 100)
constexpr Colour kCaptionColour = 0xE0E0E0;  // light grey
// A lost reply is bridged; a longer silence leaves a gap, so the chart never draws
// an engine that was not seen.
constexpr double kLongestJoinMs = 1000;
// Within a strip: value 0 sits a little above its floor, the scale's top leaves
// room for the caption above it.
constexpr double kStripZero = 0.06, kStripTop = 0.78, kCaptionHeight = 0.89;

struct Trace {
    TrendTrace trace;
    const char* turkish;
    const char* english;
    int decimals;
    Colour colour;
};

constexpr Trace kTraces[] = {
    {TrendTrace::EngineSpeed, "Devir (rpm)", "Engine speed (rpm)", 0, colours::kYellow},
    {TrendTrace::GasPressure, "Basınç (bar)", "Pressure (bar)", 2, 0xFFFF00},  // cyan
    {TrendTrace::PetrolTime, "Benzin (ms)", "Petrol (ms)", 2, 0x4060FF},       // orange red
    {TrendTrace::GasTime, "Gaz (ms)", "Gas (ms)", 2, 0x40DC40},                // green
};

}  // namespace

void Form1Korvane::ButonTrend_Click() {
    TrendPic.visible = !TrendPic.visible;
    if (TrendPic.visible) DrawTrend();
}

void Form1Korvane::TrendPic_Close() { TrendPic.visible = false; }

void Form1Korvane::DrawTrend() {
    Canvas* c = TrendPic.canvas.get();
    if (!c) return;
    c->clear();
    c->setLineWidth(1);
    const bool turkish = LanguageIndex == 0;

    // The time axis: a line every 10 s through all strips, labelled under them.
    for (int s = -60; s <= 0; s += 10) {
        c->line(s, 0, s, 4, kGridColour);
        c->text(s, ecu::kTrendBottom / 2, std::to_string(s) + " s", kCaptionColour, TextAlign::Centre);
    }
    for (int strip = 0; strip <= 4; ++strip) c->line(-60, strip, 0, strip, kGridColour);

    const double newestMs = LiveTrend.empty() ? 0 : LiveTrend.newest().timeMs;
    for (std::size_t lane = 0; lane < std::size(kTraces); ++lane) {
        const Trace& t = kTraces[lane];
        const double floor = 3.0 - static_cast<double>(lane);
        const double top = ecu::TrendScaleTop(LiveTrend, t.trace);
        auto y = [&](double value) {
            const double clamped = std::isfinite(value) ? std::fmax(0.0, std::fmin(value, top)) : 0.0;
            return floor + kStripZero + (kStripTop - kStripZero) * clamped / top;
        };

        // The strip's scale: 0 and its top, left of the chart.
        c->line(-60.6, y(top), -60, y(top), kGridColour);
        c->text(-61, y(top), FormatNumber(top, top < 10 ? 1 : 0), t.colour, TextAlign::Right);
        c->text(-61, y(0), "0", t.colour, TextAlign::Right);

        std::string caption = turkish ? t.turkish : t.english;
        if (!LiveTrend.empty())
            caption += "   " + FormatNumber(ecu::TraceValue(LiveTrend.newest(), t.trace), t.decimals);
        c->text(-59.5, floor + kCaptionHeight, caption, t.colour, TextAlign::Left);

        for (std::size_t i = 1; i < LiveTrend.size(); ++i) {
            const ecu::TrendSample& a = LiveTrend.at(i - 1);
            const ecu::TrendSample& b = LiveTrend.at(i);
            if (b.timeMs - a.timeMs > kLongestJoinMs) continue;
            c->line((a.timeMs - newestMs) / 1000, y(ecu::TraceValue(a, t.trace)), (b.timeMs - newestMs) / 1000,
                    y(ecu::TraceValue(b, t.trace)), t.colour);
        }
        // A sample with no neighbour to join still shows, as a short tick.
        for (std::size_t i = 0; i < LiveTrend.size(); ++i) {
            const ecu::TrendSample& s = LiveTrend.at(i);
            const bool joinedBefore = i > 0 && s.timeMs - LiveTrend.at(i - 1).timeMs <= kLongestJoinMs;
            const bool joinedAfter = i + 1 < LiveTrend.size() && LiveTrend.at(i + 1).timeMs - s.timeMs <= kLongestJoinMs;
            if (joinedBefore || joinedAfter) continue;
            const double x = (s.timeMs - newestMs) / 1000;
            c->line(x - 0.2, y(ecu::TraceValue(s, t.trace)), x + 0.2, y(ecu::TraceValue(s, t.trace)), t.colour);
        }
    }
}

}  // namespace gasecu
