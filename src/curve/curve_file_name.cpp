#include "curve/curve_file_name.h"

namespace gasecu::curve {

bool FollowsCurveFileNameRule(std::string_view fullPath) {
    std::size_t characters = 0;
    std::size_t i = fullPath.size();
    while (i > 0 && characters < 10) {
        --i;
        // A UTF-8 continuation byte (10xxxxxx) belongs to the character before it.
        if ((static_cast<unsigned char>(fullPath[i]) & 0xC0) != 0x80) ++characters;
    }
    return characters == 10 && fullPath.substr(i, 3) == "Cur";
}

}  // namespace gasecu::curve
