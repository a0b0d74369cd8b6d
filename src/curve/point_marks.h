#pragma once
// Helpers shared by the curve editor and the curve files for the two rows of point
// boxes above the plot: CheckÜ marks points to raise, CheckA points to lower.
#include "app/form1korvane.h"

namespace gasecu::curve {

// Box 18 of each row is the range box; boxes 0..17 are points 1..18.
inline constexpr int kRangeBox = 18;

// Unticks both rows, box by box (upper, then lower, for each index), so each
// change runs its box's rule as a click would.
inline void UncheckAllPoints(Form1Korvane& f) {
    for (int k = 0; k <= kRangeBox; ++k) {
        f.CheckÜ[k].setValue(0);
        f.CheckA[k].setValue(0);
    }
}

}  // namespace gasecu::curve
