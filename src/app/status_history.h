#pragma once
// The session's messages: every text the status line showed, with the time it
// appeared, so that what happened while the fitter was under the car is still
// there to read (the window's "Mesajlar" panel) and to save with a report.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/clock.h"

namespace gasecu {

struct StatusEntry {
    LocalTimeMs time;  // when the text appeared (or, for a count, last changed)
    std::string text;
};

class StatusHistory {
public:
    // The oldest messages give way beyond this many (a day's work is far less).
    static constexpr std::size_t kMaxEntries = 5000;

    // Notes the text the status line now shows. An empty text (a cleared line) is
    // no message. A text that differs from the last one only in its digits (a row
    // count going up, the next port tried, the next band checked) takes the last
    // one's place with the new time, so a recording does not bury the rest.
    void record(LocalTimeMs time, std::string text);
    const std::vector<StatusEntry>& entries() const { return entries_; }

private:
    std::vector<StatusEntry> entries_;
};

// "hh:mm:ss" of the fitter's wall clock.
std::string ClockTimeText(LocalTimeMs time);

// Whether a message reports a fault, to make it stand out. The status texts mark
// a fault with "!" ("ECU YANIT VERMİYOR ! ", "HATALI DOSYA !"); a few good news and
// instructions carry one too ("HATA YOK ! ", "ORJ.DAT YÜKLENDİ !", keep the pedal
// still) and are taken out first; a few faults carry none ("EKÜ AYARI KABUL
// ETMEDİ", "KAYIT DURDU, DOSYAYA YAZILAMIYOR", "KAYIT DOSYASI KAYBOLDU") and are
// named.
bool IsFailureMessage(std::string_view text);

// The history as a text file: one "hh:mm:ss  text" line each, oldest first, a
// fault marked "!!" in front, CR LF line ends like the tool's other text files.
std::string StatusHistoryFileText(const std::vector<StatusEntry>& entries);

}  // namespace gasecu
