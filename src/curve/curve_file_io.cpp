#include "curve/curve_file_io.h"

#include <cstdint>
#include <exception>
#include <fstream>
#include <iterator>
#include <system_error>

namespace gasecu::curve {

namespace {
constexpr std::uintmax_t kLargestCurveFile = 1 << 20;
}  // namespace

std::filesystem::path PathFromUtf8(const std::string& text) {
    // On Windows the conversion to UTF-16 throws on bytes that are not UTF-8 (a
    // name cut in the middle of a letter): no such file can exist, and the empty
    // path makes the open or the write fail the ordinary way.
    try {
        return std::filesystem::path(std::u8string(text.begin(), text.end()));
    } catch (const std::exception&) {
        return {};
    }
}

std::string Utf8FromPath(const std::filesystem::path& path) {
    // A Windows name may hold half a UTF-16 pair, which has no UTF-8: shown as "?".
    try {
        const std::u8string text = path.u8string();
        return std::string(text.begin(), text.end());
    } catch (const std::exception&) {
        return "?";
    }
}

std::optional<std::string> ReadCurveFileText(const std::filesystem::path& path) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return std::nullopt;
    const std::uintmax_t size = std::filesystem::file_size(path, ec);
    if (ec || size > kLargestCurveFile) return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return std::nullopt;
    return text;
}

}  // namespace gasecu::curve
