#include "support/ecu_curve.h"

namespace gasecu::test {

CurveRows CurveHeldBy(const sim::EcuMemory& memory) {
    CurveRows c{};
    for (std::size_t p = 1; p <= 6; ++p) c[1][p] = memory.curveBlock(10)[p - 1];
    for (std::size_t p = 1; p <= 18; ++p) c[2][p] = 30.0 * static_cast<double>(p);
    for (int band = 1; band <= 6; ++band)
        for (int p = 1; p <= 18; ++p)
            c[static_cast<std::size_t>(band + 2)][static_cast<std::size_t>(p)] = memory.bandLevel(band, p);
    return c;
}

}  // namespace gasecu::test
