// Every operation that changes the ECU ends with its own result in the status line
// and in the session's messages, against the virtual ECU: a setting written and
// read back, one the ECU kept its old value for, one whose write did not
// complete, the factory settings, the fault clear with or without records left.
// A fitter under the car reads the last line and the list: neither may show the
// result of an earlier operation, or a refusal after a good write.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "support/link_harness.h"

namespace gasecu {
namespace {

using test::kEnter;
constexpr int kTransitionSpeedAddress = 47;
constexpr int kAdvanceAddress = 55;
constexpr int kGasValveRelayRecord = 66;
constexpr int kFactoryCoilAddress = 31;

using Outcome = Form1Korvane::ExchangeOutcome;

enum class Kind { Entry, Advance, Factory, FaultClear };
enum class Ecu { Takes, Keeps, FallsSilent };

struct Case {
    const char* what;
    Kind kind;
    Ecu ecu;
    const char* english;  // the status line at the end, and the last message
    const char* turkish;
    Outcome outcome;
};

const Case kCases[] = {
    {"entry taken", Kind::Entry, Ecu::Takes, "SETTING WRITTEN : TRANSITION SPEED 900 rpm",
     "AYAR YAZILDI : GEÇİŞ DEVRİ 900 rpm", Outcome::Done},
    {"entry kept by the ECU", Kind::Entry, Ecu::Keeps, "THE ECU DID NOT TAKE THE SETTING : TRANSITION SPEED",
     "EKÜ AYARI KABUL ETMEDİ : GEÇİŞ DEVRİ", Outcome::Differs},
    {"entry cut short", Kind::Entry, Ecu::FallsSilent,
     "SETTING WRITE DID NOT COMPLETE : TRANSITION SPEED : ECU NOT RESPONDING ! ",
     "AYAR YAZMA TAMAMLANMADI : GEÇİŞ DEVRİ : ECU YANIT VERMİYOR ! ", Outcome::CutShort},
    {"advance taken", Kind::Advance, Ecu::Takes, "SETTING WRITTEN : ADVANCE 1.50 ms", "AYAR YAZILDI : AVANS 1.50 ms",
     Outcome::Done},
    {"advance kept by the ECU", Kind::Advance, Ecu::Keeps, "THE ECU DID NOT TAKE THE SETTING : ADVANCE",
     "EKÜ AYARI KABUL ETMEDİ : AVANS", Outcome::Differs},
    {"advance cut short", Kind::Advance, Ecu::FallsSilent,
     "SETTING WRITE DID NOT COMPLETE : ADVANCE : ECU NOT RESPONDING ! ",
     "AYAR YAZMA TAMAMLANMADI : AVANS : ECU YANIT VERMİYOR ! ", Outcome::CutShort},
    {"factory settings loaded", Kind::Factory, Ecu::Takes, "FACTORY SETTINGS LOADED", "FABRİKA AYARLARI YÜKLENDİ",
     Outcome::Done},
    {"factory settings cut short", Kind::Factory, Ecu::FallsSilent,
     "FACTORY SETTINGS LOAD DID NOT COMPLETE : ECU NOT RESPONDING ! ",
     "FABRİKA AYARLARI YÜKLENEMEDİ : ECU YANIT VERMİYOR ! ", Outcome::CutShort},
    {"faults cleared", Kind::FaultClear, Ecu::Takes, "FAULTS CLEARED", "HATALAR SİLİNDİ", Outcome::Done},
    // The ECU kept a record (or the fault came back at once): the clear ran, but
    // the fitter must not read "cleared" while the page shows one.
    {"fault record left", Kind::FaultClear, Ecu::Keeps, "FAULT RECORDS LEFT : GAS VALVE RELAY 3 !",
     "HATA KAYITLARI KALDI : GAZ VALFİ RÖLESİ 3 !", Outcome::Done},
    {"fault clear cut short", Kind::FaultClear, Ecu::FallsSilent,
     "FAULT CLEAR DID NOT COMPLETE : ECU NOT RESPONDING ! ", "HATA SİLME TAMAMLANMADI : ECU YANIT VERMİYOR ! ",
     Outcome::CutShort},
};

Outcome ResultOf(const Form1Korvane& f, Kind kind) {
    switch (kind) {
    case Kind::Entry:
    case Kind::Advance:
        return f.SettingWriteResult;
    case Kind::Factory:
        return f.FactoryLoadResult;
    case Kind::FaultClear:
        return f.FaultClearResult;
    }
    return Outcome::None;
}

// The window with the settings screen open and read, the ECU holding 850 rpm.
struct Harness {
    explicit Harness(double languageIndex) : h('.', languageIndex) {
        h.form.env.questions = &yes;
        h.ecu.setSetting(kTransitionSpeedAddress, 85);
        h.ecu.setFaultRecord(kGasValveRelayRecord, 3);
    }
    bool openSettings() {
        if (!h.connect()) return false;
        h.form.ButonSetup_Click();
        if (!h.runner.runUntil([&] { return h.form.SequencerState == 8; }, 10000)) return false;
        h.runner.runFor(1000);
        return true;
    }
    void start(Kind kind) {
        switch (kind) {
        case Kind::Entry:
            h.form.SetPTransRPMTextBox.text = "900";
            h.form.SetPTransRPMTextBox_KeyPress(kEnter);
            break;
        case Kind::Advance:
            h.form.avas.selectedIndex = 6;  // 1.50 ms
            h.form.avas_Click();
            break;
        case Kind::Factory:
            h.form.ButonLoadFabricSettings_Click();
            break;
        case Kind::FaultClear:
            h.form.ButonErrorClear_Click();
            break;
        }
    }
    test::LinkHarness h;
    ScriptedQuestions yes{true};
};

TEST(WriteResults, EachWriteEndsWithItsOwnResultInTheStatusLineAndTheMessages) {
    for (double language : {1.0, 0.0}) {
        for (const Case& k : kCases) {
            SCOPED_TRACE(std::string(k.what) + (language == 1 ? " (English)" : " (Turkish)"));
            Harness w(language);
            ASSERT_TRUE(w.openSettings());
            if (k.ecu == Ecu::Keeps) {
                w.h.ecu.refuseAddress(kTransitionSpeedAddress);
                w.h.ecu.refuseAddress(kAdvanceAddress);
                w.h.ecu.refuseAddress(kGasValveRelayRecord);
            }
            // A refusal stands in the status line before the operation.
            w.h.form.SetPTransRPMTextBox.text = "5000";
            w.h.form.SetPTransRPMTextBox_KeyPress(kEnter);
            ASSERT_EQ(w.h.form.SettingWriteResult, Outcome::Refused);

            w.start(k.kind);
            ASSERT_EQ(ResultOf(w.h.form, k.kind), Outcome::Running);
            if (k.ecu == Ecu::FallsSilent) {
                w.h.runner.runFor(1600);  // the write under way
                w.h.ecu.setSilent(true);
            }
            ASSERT_TRUE(w.h.runner.runUntil(
                [&] { return ResultOf(w.h.form, k.kind) != Outcome::Running && w.h.form.SequencerState == 8; },
                90000));
            w.h.runner.runFor(2000);  // the read after it, then idle polls

            const std::string expected = language == 1 ? k.english : k.turkish;
            EXPECT_EQ(ResultOf(w.h.form, k.kind), k.outcome);
            EXPECT_EQ(w.h.form.KomutSatırı.text, expected);
            ASSERT_FALSE(w.h.form.Messages.entries().empty());
            EXPECT_EQ(w.h.form.Messages.entries().back().text, expected);
        }
    }
}

// The factory load reads the pages back: a coil count the load wrote shows in its
// box, and the load's result is not replaced by the read.
TEST(WriteResults, FactoryLoadResultStandsAfterItsReadBack) {
    Harness w(1);
    ASSERT_TRUE(w.openSettings());
    w.h.ecu.setSetting(kFactoryCoilAddress, 3);
    w.start(Kind::Factory);
    ASSERT_TRUE(w.h.runner.runUntil([&] { return w.h.form.FactoryLoadResult == Outcome::Done; }, 90000));
    ASSERT_TRUE(w.h.runner.runUntil([&] { return w.h.form.SequencerState == 8; }, 10000));
    EXPECT_EQ(w.h.form.Coil.text, "2");
    EXPECT_EQ(w.h.form.KomutSatırı.text, "FACTORY SETTINGS LOADED");
}

// The write went out, but its page never came back in any of the read's three
// tries: the read's failure, then the write's own result, naming the setting.
TEST(WriteResults, AWriteWhosePageNeverCameBackSaysSoLast) {
    Harness w(1);
    ASSERT_TRUE(w.openSettings());
    w.start(Kind::Entry);
    for (int attempt = 0; attempt < 3; ++attempt) {
        // The tick at step 5 asks for the page that carries the speed (decoded at 6).
        ASSERT_TRUE(w.h.runUntilStep(5));
        w.h.ecu.queueFault({sim::ReplyFault::Drop});
        w.h.runner.runFor(500);
    }
    ASSERT_TRUE(w.h.runner.runUntil([&] { return w.h.form.SettingWriteResult != Outcome::Running; }, 10000));
    EXPECT_EQ(w.h.form.SettingWriteResult, Outcome::CutShort);
    const std::string expected = "SETTING WRITE DID NOT COMPLETE : TRANSITION SPEED : NOT READ BACK !";
    EXPECT_EQ(w.h.form.KomutSatırı.text, expected);
    const auto& entries = w.h.form.Messages.entries();
    ASSERT_GE(entries.size(), 2u);
    EXPECT_EQ(entries.back().text, expected);
    EXPECT_EQ(entries[entries.size() - 2].text, "SETTINGS NOT READ : TRANSITION SPEED, TRANSITION TEMPERATURE");
    EXPECT_TRUE(IsFailureMessage(expected));
}

// Two good writes in a row after one the ECU refused: the refusal is gone from
// the status line, and the list keeps all three in their order.
TEST(WriteResults, AGoodWriteReplacesAnEarlierRefusal) {
    Harness w(1);
    ASSERT_TRUE(w.openSettings());
    w.h.ecu.refuseAddress(kTransitionSpeedAddress);
    w.start(Kind::Entry);
    ASSERT_TRUE(w.h.runner.runUntil([&] { return w.h.form.SettingWriteResult == Outcome::Differs; }, 20000));
    ASSERT_EQ(w.h.form.KomutSatırı.text, "THE ECU DID NOT TAKE THE SETTING : TRANSITION SPEED");

    w.start(Kind::Advance);
    ASSERT_TRUE(w.h.runner.runUntil([&] { return w.h.form.SettingWriteResult == Outcome::Done; }, 20000));
    w.h.runner.runFor(2000);
    EXPECT_EQ(w.h.form.KomutSatırı.text, "SETTING WRITTEN : ADVANCE 1.50 ms");
    const auto& entries = w.h.form.Messages.entries();
    ASSERT_GE(entries.size(), 2u);
    EXPECT_EQ(entries[entries.size() - 2].text, "THE ECU DID NOT TAKE THE SETTING : TRANSITION SPEED");
    EXPECT_FALSE(IsFailureMessage(entries.back().text));
    EXPECT_TRUE(IsFailureMessage(entries[entries.size() - 2].text));
}

}  // namespace
}  // namespace gasecu
