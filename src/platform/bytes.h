#pragma once
// Bytes on the serial line: every value 0..255 goes out and comes in unchanged.
#include <cstdint>
#include <vector>

namespace gasecu {
using Bytes = std::vector<std::uint8_t>;
}
