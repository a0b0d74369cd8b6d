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

bool NamesTheDefaultCurveFile(std::string_view fullPath) {
    constexpr std::string_view kDefault = "cur_00.txt";
    const std::size_t slash = fullPath.find_last_of("/\\");
    const std::string_view name = slash == std::string_view::npos ? fullPath : fullPath.substr(slash + 1);
    if (name.size() != kDefault.size()) return false;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const char c = name[i] >= 'A' && name[i] <= 'Z' ? static_cast<char>(name[i] - 'A' + 'a') : name[i];
        if (c != kDefault[i]) return false;
    }
    return true;
}

}  // namespace gasecu::curve
