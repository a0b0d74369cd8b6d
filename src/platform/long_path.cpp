#include "platform/long_path.h"

#include <string>
#include <system_error>

#include "platform/windows_api.h"

namespace gasecu {

namespace fs = std::filesystem;

#ifdef _WIN32

fs::path LongPath(const fs::path& path) {
    std::error_code ec;
    fs::path full = fs::absolute(path, ec);
    if (ec) full = path;
    std::wstring text = full.lexically_normal().make_preferred().wstring();
    constexpr std::size_t kLongerThanWindowsTakes = 240;  // MAX_PATH less room for a name
    if (text.size() < kLongerThanWindowsTakes || text.rfind(L"\\\\?\\", 0) == 0) return text;
    if (text.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + text.substr(2);
    return L"\\\\?\\" + text;
}

bool IsDeviceName(const fs::path& filename) {
    std::wstring stem = filename.wstring();
    stem = stem.substr(0, stem.find(L'.'));
    while (!stem.empty() && stem.back() == L' ') stem.pop_back();
    for (wchar_t& c : stem)
        if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
    for (const wchar_t* device : {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"})
        if (stem == device) return true;
    return stem.size() == 4 && (stem.rfind(L"COM", 0) == 0 || stem.rfind(L"LPT", 0) == 0) && stem[3] >= L'1' &&
           stem[3] <= L'9';
}

PathLook LookAt(const fs::path& path) {
    // A device name is a device in every folder (reading CON would wait for the keyboard).
    if (IsDeviceName(path.filename())) return {fs::file_type::character, 0};
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(LongPath(path).c_str(), GetFileExInfoStandard, &data)) return {};
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return {fs::file_type::directory, 0};
    return {fs::file_type::regular, (std::uintmax_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow};
}

#else

fs::path LongPath(const fs::path& path) { return path; }

PathLook LookAt(const fs::path& path) {
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    PathLook look{status.type(), 0};
    if (look.type == fs::file_type::regular) look.size = fs::file_size(path, ec);
    if (ec) look.size = 0;  // the read then finds what there is
    return look;
}

#endif

}  // namespace gasecu
