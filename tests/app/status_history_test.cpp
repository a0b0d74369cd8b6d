// The session's messages: what is kept, when, which are marked as faults, and the
// saved file.
#include <gtest/gtest.h>

#include <chrono>

#include "app/status_history.h"
#include "support/link_harness.h"

namespace gasecu {
namespace {

using std::chrono::hours;
using std::chrono::milliseconds;
using std::chrono::minutes;
using std::chrono::seconds;

const LocalTimeMs kMorning = std::chrono::local_days{std::chrono::year{2026} / 12 / 9} + hours{8};

TEST(StatusHistory, FaultsAreMarkedByTheirSignAndNamedWords) {
    struct Case {
        const char* text;
        bool fault;
    } const cases[] = {
        {"ECU YANIT VERMİYOR ! ", true},
        {"CURVE READ DID NOT COMPLETE : ECU NOT RESPONDING ! ", true},
        {"HATALI DOSYA !", true},
        {"PORT KAYDEDİLEMEDİ ! BAĞLANDI : COM3", true},
        {"GEÇERSİZ DEĞER ! EN AZ BASINÇ : 0.40 - 1.80 bar", true},
        {"EKÜ AYARI KABUL ETMEDİ : EN AZ BASINÇ", true},
        {"THE ECU DID NOT TAKE THE SETTING : MIN PRESSURE", true},
        {"KAYIT DURDU, DOSYAYA YAZILAMIYOR : /media/usb/k.csv  12 SATIR KORUNDU", true},
        {"CANNOT CREATE LOG FILE : /home/usta", true},
        {"ORJ.DAT YÜKLENEMEDİ ! DEVİR DEGİŞSE DAHİ PEDAL POZİZYONUNU DEGİŞTİRMEYİN !", true},
        // Good news and instructions, "!" or not.
        {"HATA YOK ! ", false},
        {"NO ERRORS ! ", false},
        {"ORJ.DAT YÜKLENDİ !", false},
        {"ORJ.DAT INSTALL !", false},
        {"KEEP THE GAS PEDAL IN THE SAME POSITION EVEN THERE IS DIFFERENCE IN RPM !", false},
        {"CONNECTED : COM4", false},
        {"HATASIZ DOSYA  /home/usta/egri.txt", false},
        {"KALİBRASYON BİTTİ.", false},
        {"RECORDING : 2026-12-09_08-00-00.csv  4 ROWS", false},
    };
    for (const Case& c : cases) EXPECT_EQ(IsFailureMessage(c.text), c.fault) << c.text;
}

TEST(StatusHistory, KeepsEachNewTextInOrderAndACountInOneLine) {
    struct Case {
        const char* name;
        std::vector<const char*> shown;
        std::vector<const char*> kept;
    } const cases[] = {
        {"each text", {"A", "B !", "A"}, {"A", "B !", "A"}},
        {"a cleared line is no message", {"A", "", "B"}, {"A", "B"}},
        {"a count going up", {"KAYIT : k.csv  1 SATIR", "KAYIT : k.csv  2 SATIR", "KAYIT : k.csv  10 SATIR"},
         {"KAYIT : k.csv  10 SATIR"}},
        {"the next port", {"TRIYING TO CONNECT : COM1", "TRIYING TO CONNECT : COM2", "CONNECTED : COM2"},
         {"TRIYING TO CONNECT : COM2", "CONNECTED : COM2"}},
        {"same shape, other words", {"HATALI OKUMA 0", "HATALAR"}, {"HATALI OKUMA 0", "HATALAR"}},
    };
    for (const Case& c : cases) {
        StatusHistory h;
        LocalTimeMs t = kMorning;
        for (const char* text : c.shown) h.record(t += seconds{1}, text);
        std::vector<std::string> kept;
        for (const StatusEntry& e : h.entries()) kept.push_back(e.text);
        EXPECT_EQ(kept, std::vector<std::string>(c.kept.begin(), c.kept.end())) << c.name;
        EXPECT_EQ(h.entries().back().time, t) << c.name;  // a count carries its latest time
    }
}

TEST(StatusHistory, TheOldestGiveWayBeyondTheLimit) {
    StatusHistory h;
    for (std::size_t k = 0; k < StatusHistory::kMaxEntries + 3; ++k)
        h.record(kMorning, (k % 2 ? "A" : "B !") + std::string(k % 3 + 1, 'x'));
    EXPECT_EQ(h.entries().size(), StatusHistory::kMaxEntries);
}

TEST(StatusHistory, ClockTimeAndFileLines) {
    EXPECT_EQ(ClockTimeText(kMorning), "08:00:00");
    EXPECT_EQ(ClockTimeText(kMorning + hours{15} + minutes{7} + seconds{9} + milliseconds{999}), "23:07:09");
    EXPECT_EQ(StatusHistoryFileText({{kMorning + seconds{5}, "CONNECTED : COM4"},
                                     {kMorning + minutes{2}, "ECU NOT RESPONDING ! "}}),
              "08:00:05     CONNECTED : COM4\r\n08:02:00  !! ECU NOT RESPONDING ! \r\n");
}

// On the virtual-time runner: the form notes each text as the status line shows
// it, with the runner's clock, and not again while a wait repeats it.
TEST(StatusHistory, TheFormNotesEveryStatusTextAtItsTime) {
    test::LinkHarness h('.', 1);
    h.form.ApplyLanguageIndex();
    ASSERT_TRUE(h.connect());
    h.ecu.setSilent(true);
    h.runner.runFor(10000);  // the silence is told once, not at every tick
    h.ecu.setSilent(false);
    h.runner.runFor(1000);
    h.form.ButonAyar_Click();

    std::vector<std::string> texts;
    for (const StatusEntry& e : h.form.Messages.entries()) texts.push_back(e.text);
    ASSERT_GE(texts.size(), 5u);
    EXPECT_EQ(texts.front().rfind("gasecu ", 0), 0u);  // the banner
    // The answer after the silence is said as the lamp turns green; the silence
    // stays in the history before it.
    const std::vector<std::string> last(texts.end() - 4, texts.end());
    EXPECT_EQ(last, (std::vector<std::string>{"CONNECTED : COM4", "ECU NOT RESPONDING ! ",
                                              "ECU RESPONDING AGAIN : COM4", h.form.KomutSatırı.text}));
    const auto& entries = h.form.Messages.entries();
    const LocalTimeMs silent = entries[entries.size() - 3].time;
    EXPECT_GE(silent, kMorning + seconds{3});
    EXPECT_LT(silent, kMorning + seconds{30});
    EXPECT_GT(entries.back().time, silent);
    EXPECT_TRUE(IsFailureMessage(entries[entries.size() - 3].text));
}

}  // namespace
}  // namespace gasecu
