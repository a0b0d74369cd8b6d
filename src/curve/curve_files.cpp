// Curve files: the fitter keeps a known-good curve for a vehicle type as a small
// text file ("Cur" and a two-digit number, ".txt") and loads it into another ECU.
// Both buttons work on CurveTable rows 1..8 only; neither needs the ECU.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <system_error>

#include "app/form1korvane.h"
#include "curve/curve_file_name.h"
#include "curve/curve_text.h"
#include "curve/point_marks.h"

namespace gasecu {

namespace {

constexpr const char* kPresetName = "*.txt";
// A curve file is a few hundred bytes; anything this big is not one.
constexpr std::uintmax_t kLargestCurveFile = 1 << 20;

std::filesystem::path PathFromUtf8(const std::string& s) { return std::filesystem::path(std::u8string(s.begin(), s.end())); }

bool NameAcceptable(const std::string& path) {
    return !path.empty() && path != kPresetName && curve::FollowsCurveFileNameRule(path);
}

std::optional<std::string> ReadWholeFile(const std::filesystem::path& path) {
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

// Writes beside the target and then renames over it, so a full disk or a pulled
// USB stick leaves the fitter's previous file whole instead of half written.
bool WriteFileSafely(const std::filesystem::path& path, const std::string& text) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) return false;
    std::filesystem::path temp = path;
    temp += ".partial";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out) return false;
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
        out.close();
        if (out.fail()) {
            std::filesystem::remove(temp, ec);
            return false;
        }
    }
    std::filesystem::rename(temp, path, ec);
    if (ec) {
        std::filesystem::remove(temp, ec);
        return false;
    }
    return true;
}

}  // namespace

void Form1Korvane::ButonDisktenOku_Click() {
    KomutSatırı.text.clear();
    ClearCurvePicture();
    CurveFileOk = false;
    curve::UncheckAllPoints(*this);

    const std::string f = env.fileDialogs ? env.fileDialogs->showOpen(CommonDialog1) : std::string();
    CommonDialog1.fileName = kPresetName;

    std::optional<curve::ParsedCurve> parsed;
    if (NameAcceptable(f)) {
        if (auto text = ReadWholeFile(PathFromUtf8(f))) parsed = curve::ParseCurveText(*text);
    }
    if (!parsed) {
        // The whole file is checked before anything is taken over: a faulty file
        // leaves the curve in the window exactly as it was.
        ShowMessage("HATALI DOSYA !", "FILE ERROR !");
        return;
    }
    parsed->applyTo(CurveTable);
    CurveFileOk = parsed->endMarkerValid;
    if (CurveFileOk)
        ShowMessage(" " + f, " " + f);
    else
        ShowMessage("DOSYA HATALI ! :" + f, "INCORRECT FILE ! :" + f);
}

void Form1Korvane::ButonDiskeYaz_Click() {
    KomutSatırı.text.clear();
    ClearCurvePicture();
    curve::UncheckAllPoints(*this);

    const std::string f = env.fileDialogs ? env.fileDialogs->showSave(CommonDialog1) : std::string();
    CommonDialog1.fileName = kPresetName;

    if (!NameAcceptable(f) || !WriteFileSafely(PathFromUtf8(f), curve::FormatCurveText(CurveTable))) {
        ShowMessage("HATALI DOSYA İSMİ ! ", "NAME OF INCORRECT FILE ! ");
        return;
    }
    ShowMessage("HATASIZ DOSYA  " + f, "FILE NO ERRORS " + f);
}

}  // namespace gasecu
