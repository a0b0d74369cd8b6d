#include "curve/curve_file_io.h"

#include "curve/curve_text.h"
#include "platform/long_path.h"

#include <cstdint>
#include <exception>
#include <fstream>
#include <iterator>

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

std::optional<std::string> ReadCurveFileText(const std::filesystem::path& path) { return ReadCurveFile(path).text; }

CurveFileRead ReadCurveFile(const std::filesystem::path& path) {
    namespace fs = std::filesystem;
    using Problem = CurveFileRead::Problem;
    CurveFileRead read;
    auto refuse = [&read](Problem problem, std::string english, std::string turkish) {
        read.problem = problem;
        read.english = std::move(english);
        read.turkish = std::move(turkish);
        return read;
    };
    const PathLook look = LookAt(path);
    const fs::file_status status(look.type);
    if (!fs::exists(status)) return refuse(Problem::Missing, "no such file", "böyle bir dosya yok");
    if (fs::is_directory(status)) return refuse(Problem::NotAFile, "a folder, not a file", "bir klasör, dosya değil");
    if (!fs::is_regular_file(status))
        return refuse(Problem::NotAFile, "not a plain file (a device or a pipe)", "düz bir dosya değil (aygıt ya da boru)");
    const std::uintmax_t size = look.size;
    std::ifstream in(LongPath(path), std::ios::binary);
    if (!in) return refuse(Problem::Unreadable, "no permission to read it", "okuma izni yok");
    if (size > kLargestCurveFile) {
        // Only the beginning is read: enough to tell a curve with something glued
        // after it from a file that was never a curve.
        std::string head(kLargestCurveFile, '\0');
        in.read(head.data(), static_cast<std::streamsize>(head.size()));
        head.resize(static_cast<std::size_t>(in.gcount()));
        const std::string bytes = std::to_string(size);
        const auto parsed = ParseCurveText(head);
        if (parsed && parsed->endMarkerValid)
            return refuse(Problem::TooLarge,
                          "a curve followed by other data, " + bytes + " bytes in all where a curve file has a few "
                          "hundred",
                          "eğrinin ardından başka veri var, toplam " + bytes + " bayt (bir eğri dosyası birkaç yüz "
                          "bayttır)");
        return refuse(Problem::TooLarge, bytes + " bytes, far more than a curve file holds",
                      bytes + " bayt, bir eğri dosyası için çok büyük");
    }
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return refuse(Problem::Unreadable, "a read error on the disk", "diskte okuma hatası");
    read.text = std::move(text);
    return read;
}

CurveFileSaved CurveFileSavedMessage(const std::string& path) {
    return {"HATASIZ DOSYA  " + path + " — EĞRİ KAYDEDİLDİ", "FILE NO ERRORS " + path + " — CURVE SAVED"};
}

}  // namespace gasecu::curve
