#pragma once
// Helpers shared by the curve editor, the curve files and the curve screen for the
// two rows of point boxes above the plot: CheckÜ marks points to raise, CheckA points to lower.
#include "app/form1korvane.h"

namespace gasecu::curve {

// Box 18 of each row is the range box; boxes 0..17 are points 1..18.
inline constexpr int kRangeBox = 18;

// Sets every box of both rows, box by box (upper, then lower, for each index), so
// each change runs its box's rule as a click would.
inline void SetAllPoints(Form1Korvane& f, int upper, int lower) {
    for (int k = 0; k <= kRangeBox; ++k) {
        f.CheckÜ[k].setValue(upper);
        f.CheckA[k].setValue(lower);
    }
}

inline void UncheckAllPoints(Form1Korvane& f) { SetAllPoints(f, 0, 0); }

}  // namespace gasecu::curve
