// The session's messages, their time and the rule that marks a fault.
#include "app/status_history.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>

namespace gasecu {
namespace {

bool SameButForDigits(std::string_view a, std::string_view b) {
    auto strip = [](std::string_view s) {
        std::string out;
        for (char c : s)
            if (c < '0' || c > '9') out += c;
        return out;
    };
    return a != b && strip(a) == strip(b);
}

}  // namespace

void StatusHistory::record(LocalTimeMs time, std::string text) {
    if (text.empty()) return;
    if (!entries_.empty() && SameButForDigits(entries_.back().text, text)) {
        entries_.back() = {time, std::move(text)};
        return;
    }
    entries_.push_back({time, std::move(text)});
    if (entries_.size() > kMaxEntries) entries_.erase(entries_.begin());
}

std::string ClockTimeText(LocalTimeMs time) {
    const auto day = std::chrono::floor<std::chrono::days>(time);
    const std::chrono::hh_mm_ss clock{std::chrono::floor<std::chrono::seconds>(time - day)};
    char text[16];
    // NOLINTNEXTLINE(cert-err33-c): hours, minutes and seconds of a day: 8 characters, never cut
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", static_cast<int>(clock.hours().count()),
                  static_cast<int>(clock.minutes().count()), static_cast<int>(clock.seconds().count()));
    return text;
}

bool IsFailureMessage(std::string_view text) {
    // Good news and instructions that carry a "!".
    static constexpr std::array<std::string_view, 6> kNotFaults = {
        "HATA YOK !",
        "NO ERRORS !",
        "ORJ.DAT YÜKLENDİ !",
        "ORJ.DAT INSTALL !",
        "DEVİR DEGİŞSE DAHİ PEDAL POZİZYONUNU DEGİŞTİRMEYİN !",
        "KEEP THE GAS PEDAL IN THE SAME POSITION EVEN THERE IS DIFFERENCE IN RPM !",
    };
    // Faults said without one.
    static constexpr std::array<std::string_view, 10> kFaultWords = {
        "KABUL ETMEDİ", "DID NOT TAKE",   "YAZILAMIYOR",         "CANNOT WRITE",   "AÇILAMIYOR",
        "CANNOT CREATE", "KAYBOLDU",      "IS GONE",             "GEÇİCİ ADIYLA",  "TEMPORARY NAME",
    };
    std::string rest(text);
    for (std::string_view good : kNotFaults)
        for (auto at = rest.find(good); at != std::string::npos; at = rest.find(good)) rest.erase(at, good.size());
    if (rest.find('!') != std::string::npos) return true;
    return std::any_of(kFaultWords.begin(), kFaultWords.end(),
                       [&](std::string_view word) { return rest.find(word) != std::string::npos; });
}

std::string StatusHistoryFileText(const std::vector<StatusEntry>& entries) {
    std::string out;
    for (const StatusEntry& e : entries)
        out += ClockTimeText(e.time) + (IsFailureMessage(e.text) ? "  !! " : "     ") + e.text + "\r\n";
    return out;
}

}  // namespace gasecu
