#pragma once
// Undo and redo of the curve. Every change of the curve the fitter may want back
// is one step: one held arrow key or button, one press on the plot or an idle
// picture, the idle button, a curve file or an ECU read, a calibration run. The
// history keeps whole tables (a table is under 1.4 kB), so a step restores every
// band point and every head value exactly, whatever made the change.
//
// The form tells the history when a step is complete (note): a change since the
// last noted curve then becomes a step. Between two notes any number of edit
// ticks may change the curve; they undo together.
#include <array>
#include <cstddef>
#include <deque>
#include <optional>

namespace gasecu {

using CurveRows = std::array<std::array<double, 19>, 9>;

namespace curve {

class CurveHistory {
public:
    // Steps kept back; the oldest go first.
    static constexpr std::size_t kDefaultDepth = 500;

    explicit CurveHistory(std::size_t depth = kDefaultDepth) : depth_(depth < 1 ? 1 : depth) {}

    // Starts again from this curve with no step to undo or redo.
    void reset(const CurveRows& current);
    // A change since the last noted curve becomes an undo step, and what could be
    // redone is forgotten (a new edit after an undo). True when a step was taken.
    bool note(const CurveRows& current);
    // The curve before the last step (notes current first); nothing when there is none.
    std::optional<CurveRows> undo(const CurveRows& current);
    // The curve the last undo left; nothing when there is none or when current
    // was changed since (that change is a new step and clears the redo).
    std::optional<CurveRows> redo(const CurveRows& current);

    bool canUndo(const CurveRows& current) const { return !undo_.empty() || current != noted_; }
    bool canRedo(const CurveRows& current) const { return !redo_.empty() && current == noted_; }
    std::size_t undoSteps() const { return undo_.size(); }
    std::size_t redoSteps() const { return redo_.size(); }

private:
    void push(std::deque<CurveRows>& steps, const CurveRows& curve);

    std::size_t depth_;
    std::deque<CurveRows> undo_, redo_;
    CurveRows noted_{};
};

}  // namespace curve
}  // namespace gasecu
