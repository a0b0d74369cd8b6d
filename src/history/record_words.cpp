#include "history/record_words.h"

#include <array>
#include <sstream>
#include <string_view>

#include "ecu/setting_rules.h"

namespace gasecu::history {

namespace {

struct Words {
    std::string_view stored, turkish, english;
};

constexpr std::array<Words, 16> kResults{{
    {"done", "tamam", "done"},
    {"equal", "yazıldı, geri okundu, aynı", "written, read back, equal"},
    {"differs", "geri okunan farklı", "read back differs"},
    {"unchecked", "yazıldı, kontrol edilmedi", "written, not checked"},
    {"refused", "yazılamaz, gönderilmedi", "cannot be written, not sent"},
    {"incomplete", "yarım kaldı", "incomplete"},
    {"running", "sürüyordu", "was running"},
    {"none", "yok", "none"},
    {"converged", "yakınsadı", "converged"},
    {"not-converged", "yakınsamadı", "did not converge"},
    {"speed-fault", "devir hatası", "speed fault"},
    {"pressure-fault", "basınç hatası", "pressure fault"},
    {"temperature-fault", "regülatör sıcaklık hatası", "reducer temperature fault"},
    {"injection-time-fault", "enjeksiyon süresi 0 ms", "injection time 0 ms"},
    {"taken", "alındı", "taken"},
    {"not-taken", "alınmadı", "not taken"},
}};

// Messages of the store and of SQLite under them, as far as a fitter meets them.
constexpr std::array<Words, 12> kErrorParts{{
    {"opening the history", "geçmiş açılırken", "opening the history"},
    {"reading the schema version", "geçmişin sürümü okunurken", "reading the schema version"},
    {"keeping the record", "kayıt yazılırken", "keeping the record"},
    {"listing the history", "geçmiş listelenirken", "listing the history"},
    {"reading the record", "kayıt okunurken", "reading the record"},
    {"disk I/O error", "disk okuma/yazma hatası", "disk I/O error"},
    {"database is locked", "geçmiş başka bir program tarafından kilitli", "database is locked"},
    {"unable to open database file", "geçmiş dosyası açılamıyor", "unable to open database file"},
    {"file is not a database", "dosya bir geçmiş dosyası değil", "file is not a database"},
    {"database disk image is malformed", "geçmiş dosyası bozuk", "database disk image is malformed"},
    {"database or disk is full", "disk dolu", "database or disk is full"},
    {"attempt to write a readonly database", "geçmiş dosyasına yazma izni yok",
     "attempt to write a readonly database"},
}};

std::string WithDecimalMark(std::string text, char decimalSeparator) {
    for (char& c : text)
        if (c == '.') c = decimalSeparator;
    return text;
}

std::string SettingValueWords(const ecu::SettingRule& rule, const std::string& value, char decimalSeparator) {
    std::string shown = WithDecimalMark(value, decimalSeparator);
    if (rule.unit && *rule.unit) shown += std::string(" ") + rule.unit;
    return shown;
}

}  // namespace

std::string ResultWords(const std::string& result, bool english) {
    for (const Words& w : kResults)
        if (w.stored == result) return std::string(english ? w.english : w.turkish);
    return result;
}

std::string DetailWords(Kind kind, const std::string& detail, bool english, char decimalSeparator) {
    if (kind == Kind::CurveWrite) {
        int row = 0, point = 0;
        std::istringstream in(detail);
        std::string rowWord, pointWord;
        if (in >> rowWord >> row >> pointWord >> point && rowWord == "row" && pointWord == "point") {
            std::string where;
            if (row >= 3 && row <= 8) where = std::to_string((row - 2) * 1000) + (english ? " rpm band" : " d/d bandı");
            else if (row == 1) where = english ? "curve head" : "eğri başı";
            else where = (english ? "row " : "satır ") + std::to_string(row);
            return where + (english ? ", point " : ", nokta ") + std::to_string(point);
        }
    }
    if (kind == Kind::SettingWrite) {
        const std::size_t eq = detail.find('=');
        if (eq != std::string::npos) {
            if (const ecu::SettingRule* rule = ecu::RuleNamed(detail.substr(0, eq)))
                return std::string(english ? rule->english : rule->turkish) + " = " +
                       SettingValueWords(*rule, detail.substr(eq + 1), decimalSeparator);
        }
    }
    return detail;
}

std::vector<SettingLine> SettingsWords(const std::string& settings, bool english, char decimalSeparator) {
    std::vector<SettingLine> lines;
    std::istringstream in(settings);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        const std::size_t eq = line.find('=');
        const ecu::SettingRule* rule = eq == std::string::npos ? nullptr : ecu::RuleNamed(line.substr(0, eq));
        if (!rule) {
            lines.push_back({line, line, ""});
            continue;
        }
        lines.push_back({rule->name, english ? rule->english : rule->turkish,
                         SettingValueWords(*rule, line.substr(eq + 1), decimalSeparator)});
    }
    return lines;
}

std::string StoreErrorWords(const std::string& error, bool english) {
    if (english) return error;
    std::string text = error;
    for (const Words& w : kErrorParts)
        if (const std::size_t at = text.find(w.stored); at != std::string::npos)
            text.replace(at, w.stored.size(), w.turkish);
    return text;
}

}  // namespace gasecu::history
