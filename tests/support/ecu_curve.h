#pragma once
// The curve a virtual controller holds, as the tool rebuilds it from a read: the
// head's six values, the axis 30..540, each band as running sums from the idle level.
#include "ecu_memory.h"
#include "link/curve_blocks.h"

namespace gasecu::test {

CurveRows CurveHeldBy(const sim::EcuMemory& memory);

}  // namespace gasecu::test
