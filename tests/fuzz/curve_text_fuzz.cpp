// Curve files come from USB sticks and e-mail: any bytes at all. The parser must
// refuse what it cannot read without crashing, and whatever it takes must survive
// the way back out: written by the tool and read again, a curve is the same curve.
// Inputs that parse also go through the file layer (atomic write, read back); every
// input also goes through the file name rules as a path.
#include <cstdlib>
#include <cstdint>
#include <filesystem>
#include <random>
#include <string>
#include <string_view>

#include "curve/curve_file_io.h"
#include "curve/curve_file_name.h"
#include "curve/curve_text.h"
#include "fuzz_target.h"
#include "platform/atomic_file_write.h"

namespace {

using gasecu::CurveRows;
namespace curve = gasecu::curve;

void RemoveScratchDirectory();

// One directory per process for the file round trip, removed at exit.
const std::filesystem::path& ScratchDirectory() {
    static const std::filesystem::path dir = [] {
        // A random name, taken only when this process made the directory.
        std::random_device seed;
        std::mt19937_64 pick((std::uint64_t{seed()} << 32) ^ seed());
        std::filesystem::path made;
        for (int attempt = 0; attempt < 100 && made.empty(); ++attempt) {
            std::filesystem::path candidate = std::filesystem::temp_directory_path() / "gasecu-fuzz-";
            candidate += std::to_string(pick() % 1000000000000u);
            std::error_code ec;
            if (std::filesystem::create_directory(candidate, ec)) made = candidate;
        }
        FUZZ_EXPECT(!made.empty());
        return made;
    }();
    // Registered once the path is whole, so at exit the removal runs before the
    // path's own destruction (exit handlers run newest first); registered inside
    // the path's initialisation it ran after, on a destroyed path: the folder
    // stayed behind, and on Windows the process crashed on its way out.
    static const bool removedAtExit = std::atexit(RemoveScratchDirectory) == 0;
    FUZZ_EXPECT(removedAtExit);
    return dir;
}

void RemoveScratchDirectory() {
    std::error_code ec;
    std::filesystem::remove_all(ScratchDirectory(), ec);
}

// The points the curve text format writes: row 1 points 1..6, rows 2..8 points 1..18.
int WrittenPoints(std::size_t row) { return row == 1 ? 6 : 18; }

void CheckRoundTrip(const curve::ParsedCurve& parsed) {
    CurveRows table{};
    parsed.applyTo(table);
    // Everything the parser takes lies within what the file holds.
    FUZZ_EXPECT(curve::CurveFitsTheFile(table));
    for (std::size_t row = 1; row <= 8; ++row)
        for (int p = 1; p <= parsed.pointCount[row]; ++p) {
            const double v = table[row][static_cast<std::size_t>(p)];
            FUZZ_EXPECT(v == static_cast<double>(static_cast<long>(v)));
        }

    const std::string written = curve::FormatCurveText(table);
    curve::CurveTextError error;
    const auto again = curve::ParseCurveText(written, &error);
    FUZZ_EXPECT(again.has_value());
    FUZZ_EXPECT(again->endMarkerValid);
    CurveRows back{};
    again->applyTo(back);
    for (std::size_t row = 1; row <= 8; ++row) {
        FUZZ_EXPECT(again->pointCount[row] == WrittenPoints(row));
        for (int p = 1; p <= WrittenPoints(row); ++p)
            FUZZ_EXPECT(back[row][static_cast<std::size_t>(p)] == table[row][static_cast<std::size_t>(p)]);
    }
    FUZZ_EXPECT(curve::FormatCurveText(back) == written);
}

// The file layer keeps the bytes exactly, whatever they are.
void CheckFileRoundTrip(const std::string& text) {
    const std::filesystem::path file = ScratchDirectory() / "Cur_01.txt";
    FUZZ_EXPECT(gasecu::WriteFileAtomically(file, text));
    const auto read = curve::ReadCurveFileText(file);
    FUZZ_EXPECT(read.has_value());
    FUZZ_EXPECT(*read == text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);

    curve::CurveTextError error;
    const auto parsed = curve::ParseCurveText(text, &error);
    if (parsed) {
        CheckRoundTrip(*parsed);
        CheckFileRoundTrip(text);
    } else {
        FUZZ_EXPECT(error.line >= 1 && error.line <= 9);
        FUZZ_EXPECT(!error.reason.empty());
    }

    // The same bytes as a path from a file dialog: the name rules must not trip on
    // cut UTF-8 sequences or stray bytes, and the path survives its conversion.
    curve::FollowsCurveFileNameRule(text);
    curve::NamesTheDefaultCurveFile(text);
    if (text.find('\0') == std::string::npos) {
        const std::filesystem::path path = curve::PathFromUtf8(text);
#ifdef _WIN32
        // Bytes that are not UTF-8 name no file on Windows: an empty path, never a throw.
        FUZZ_EXPECT(path.empty() || curve::Utf8FromPath(path) == text);
#else
        FUZZ_EXPECT(curve::Utf8FromPath(path) == text);
#endif
    }
    return 0;
}
