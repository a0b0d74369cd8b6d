// The kinds of restore point and their names in the commands and the window.
#include "history/history_record.h"

#include <array>

namespace gasecu::history {

namespace {

struct KindNames {
    Kind kind;
    std::string_view name, turkish, english;
};

constexpr std::array<KindNames, 10> kKinds{{
    {Kind::CurveRead, "curve-read", "EKÜ'den eğri okundu", "Curve read from the ECU"},
    {Kind::EcuCurveBeforeWrite, "ecu-curve-before-write", "Yazmadan önceki EKÜ eğrisi",
     "ECU curve before a write"},
    {Kind::CurveWrite, "curve-write", "EKÜ'ye eğri yazıldı", "Curve written to the ECU"},
    {Kind::SettingsRead, "settings-read", "Ayarlar okundu", "Settings read"},
    {Kind::SettingWrite, "setting-write", "Ayar yazıldı", "Setting written"},
    {Kind::FactoryLoad, "factory-load", "Fabrika ayarları yüklendi", "Factory settings loaded"},
    {Kind::FaultClear, "fault-clear", "Hatalar silindi", "Faults cleared"},
    {Kind::Calibration, "calibration", "Kalibrasyon", "Calibration"},
    {Kind::FileLoad, "file-load", "Dosyadan eğri okundu", "Curve file loaded"},
    {Kind::FileSave, "file-save", "Eğri dosyaya kaydedildi", "Curve file saved"},
}};

constexpr std::array<Kind, 10> kAll = [] {
    std::array<Kind, 10> all{};
    for (std::size_t i = 0; i < kKinds.size(); ++i) all[i] = kKinds[i].kind;
    return all;
}();

constexpr KindNames kUnknown{Kind::Unknown, "unknown", "Bilinmeyen işlem", "Unknown operation"};

const KindNames& NamesOf(Kind kind) {
    for (const KindNames& k : kKinds)
        if (k.kind == kind) return k;
    return kUnknown;
}

}  // namespace

std::string_view KindName(Kind kind) { return NamesOf(kind).name; }
std::string_view KindTurkish(Kind kind) { return NamesOf(kind).turkish; }
std::string_view KindEnglish(Kind kind) { return NamesOf(kind).english; }
std::span<const Kind> AllKinds() { return kAll; }

std::optional<Kind> KindNamed(std::string_view name) {
    for (const KindNames& k : kKinds)
        if (k.name == name) return k.kind;
    return std::nullopt;
}

}  // namespace gasecu::history
