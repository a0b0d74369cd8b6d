#include "curve/curve_history.h"

namespace gasecu::curve {

void CurveHistory::reset(const CurveRows& current) {
    undo_.clear();
    redo_.clear();
    noted_ = current;
}

void CurveHistory::push(std::deque<CurveRows>& steps, const CurveRows& curve) {
    steps.push_back(curve);
    while (steps.size() > depth_) steps.pop_front();
}

bool CurveHistory::note(const CurveRows& current) {
    if (current == noted_) return false;
    push(undo_, noted_);
    redo_.clear();
    noted_ = current;
    return true;
}

std::optional<CurveRows> CurveHistory::undo(const CurveRows& current) {
    note(current);
    if (undo_.empty()) return std::nullopt;
    push(redo_, noted_);
    noted_ = undo_.back();
    undo_.pop_back();
    return noted_;
}

std::optional<CurveRows> CurveHistory::redo(const CurveRows& current) {
    note(current);
    if (redo_.empty()) return std::nullopt;
    push(undo_, noted_);
    noted_ = redo_.back();
    redo_.pop_back();
    return noted_;
}

}  // namespace gasecu::curve
