#pragma once
// Paths past the old 260 characters of Windows (a customer's folder deep in a
// fitter's documents, a ZIP unpacked into a long folder): Windows opens them only
// when they are written absolute with "\\?\" ahead. The tool writes and reads
// every file it keeps through this form.
#include <cstdint>
#include <filesystem>

namespace gasecu {

// Windows: the path absolute, with backslashes and "\\?\" ahead when it is long
// ("\\?\UNC\server\share\..." for a network folder); a short path as it is.
// Elsewhere the path unchanged.
std::filesystem::path LongPath(const std::filesystem::path& path);

// What stands at a path, links followed, looked at without opening it: the C
// runtime's look on Windows refuses the "\\?\" form, so this asks Windows itself.
struct PathLook {
    std::filesystem::file_type type = std::filesystem::file_type::not_found;
    std::uintmax_t size = 0;  // a plain file's size
};
PathLook LookAt(const std::filesystem::path& path);

#ifdef _WIN32
// CON, PRN, AUX, NUL, COM1..COM9 and LPT1..LPT9, with any extension ("COM1.txt"),
// name devices in every folder, not files.
bool IsDeviceName(const std::filesystem::path& filename);
#endif

}  // namespace gasecu
