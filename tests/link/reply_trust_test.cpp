// What the tool believes of the ECU's replies on a noisy line: at most one reply
// per request, only a reply of the length its request is answered with, settings
// pages asked for again, and every exchange ending with an outcome that tells the
// truth (done, refused, cut short, differs), on the virtual-time runner against
// the virtual ECU and its line faults.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "ecu/reply_decoding.h"
#include "link/command_frames.h"
#include "support/link_harness.h"

namespace gasecu {
namespace {

using Outcome = Form1Korvane::ExchangeOutcome;
using sim::ReplyFault;

// The settings screen as the `settings` command prints it.
std::string SettingsShown(const Form1Korvane& f) {
    return "coils=" + f.Coil.text + " switch-rpm=" + f.SetPTransRPMTextBox.text +
           " switch-temp=" + f.SetPTransRedTempTextBox.text + " min-pressure=" + f.SetPXXPressureTextBox.text +
           " leak-pressure=" + f.SetPXXPressLeakageTextBox.text + " advance=" + f.msavvv.text;
}

// What the virtual ECU holds from the factory, as the screen shows it.
const std::string kFactoryShown =
    "coils=2 switch-rpm=850 switch-temp=30.1 min-pressure=0.70 leak-pressure=0.60 advance=0.20";

// Stands on the line between the tool and the virtual ECU and spoils what the
// rule picks: the request that went out and the pieces the ECU answered with.
struct SpoilingLine : sim::LinePeer {
    using Rule = std::function<std::vector<sim::ReplyChunk>(const Bytes& request, std::vector<sim::ReplyChunk>)>;
    SpoilingLine(sim::VirtualEcu& e, Rule r) : ecu(e), rule(std::move(r)) {}
    std::vector<sim::ReplyChunk> onBytes(const Bytes& in, double nowMs) override {
        return rule(in, ecu.onBytes(in, nowMs));
    }
    sim::VirtualEcu& ecu;
    Rule rule;
};

bool IsPageRequest(const Bytes& frame, int page) {
    return frame.size() == 5 && frame[0] == frames::kPageRequestCode && frame[2] == page;
}
bool IsBandRequest(const Bytes& frame) {
    return frame.size() == 5 && frame[0] == frames::kCurveBlockRequestCode && frame[2] != 10;
}

// The settings button's read of the pages, to its end.
bool ReadSettings(test::LinkHarness& h) {
    h.form.ButonGenel_Click();
    return h.runner.runUntil([&] { return h.form.SettingsReadResult == Outcome::Running; }, 1000) &&
           h.runner.runUntil([&] { return h.form.SettingsReadResult != Outcome::Running; }, 30000);
}

// Enter in a settings box, as the fitter confirms a value.
// Presses the read button and runs until the read is over (idle again): every
// new text of the status line that holds `word`, in the order shown. `atEveryEvent`
// looks at the form after each event.
std::vector<std::string> StatusLinesOfARead(test::LinkHarness& h, const std::string& word,
                                            const std::function<void()>& atEveryEvent = {}) {
    h.form.ButonEcuOku_Click();
    std::vector<std::string> messages;
    EXPECT_TRUE(h.runner.runUntil(
        [&] {
            if (messages.empty() || messages.back() != h.form.KomutSatırı.text)
                messages.push_back(h.form.KomutSatırı.text);
            if (atEveryEvent) atEveryEvent();
            return h.form.SequencerState == 8;
        },
        30000));
    std::vector<std::string> shown;
    for (const std::string& m : messages)
        if (m.find(word) != std::string::npos) shown.push_back(m);
    return shown;
}

std::function<void(Form1Korvane&)> Type(ecu::Setting setting, std::string text) {
    return [setting, text](Form1Korvane& f) {
        f.SettingBox(setting).text = text;
        f.SettingEntryKeyPress(setting, 13);
    };
}

// A reply the line brings twice, a stray copy after the next tick, a reply late
// by a tick: the screen shows what the ECU holds, the live values stay live, and
// a setting write reads back as written.
TEST(ReplyTrust, AtMostOneReplyPerRequest) {
    struct Case {
        const char* name;
        ReplyFault fault;
        std::function<void(Form1Korvane&)> change;  // null: only the connect's read
        std::string shown;
    } const cases[] = {
        {"stray copies, connect", ReplyFault::Stray, nullptr, kFactoryShown},
        {"duplicates, connect", ReplyFault::Duplicate, nullptr, kFactoryShown},
        {"stray copies, leak pressure", ReplyFault::Stray, Type(ecu::Setting::LeakPressure, "0.80"),
         "coils=2 switch-rpm=850 switch-temp=30.1 min-pressure=0.70 leak-pressure=0.80 advance=0.20"},
        {"duplicates, coils", ReplyFault::Duplicate, Type(ecu::Setting::Coils, "4"),
         "coils=4 switch-rpm=850 switch-temp=30.1 min-pressure=0.70 leak-pressure=0.60 advance=0.20"},
        {"stray copies, switch speed", ReplyFault::Stray, Type(ecu::Setting::SwitchRpm, "1200"),
         "coils=2 switch-rpm=1200 switch-temp=30.1 min-pressure=0.70 leak-pressure=0.60 advance=0.20"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::LinkHarness h;
        h.ecu.setEngineSpeed(2100);
        h.ecu.setFaultRate(c.fault, 1.0);
        ASSERT_TRUE(h.connect());
        if (c.change) {
            c.change(h.form);
            ASSERT_EQ(h.form.SettingWriteResult, Outcome::Running);
            ASSERT_TRUE(h.runner.runUntil([&] { return h.form.SettingWriteResult != Outcome::Running; }, 10000));
            EXPECT_EQ(h.form.SettingWriteResult, Outcome::Done);
        }
        h.runner.runFor(2000);
        EXPECT_EQ(SettingsShown(h.form), c.shown);
        EXPECT_EQ(h.form.SettingsReadResult, Outcome::Done);
        EXPECT_GT(h.form.DroppedReplyCount, 0u);
        // Every live sample is a live reply: the engine speed the ECU reports.
        EXPECT_NEAR(h.form.EngineSpeed, 2100, 30);
        EXPECT_EQ(h.form.SequencerState, 8);
    }
}

// A fault page brought twice ends the fault read once; the copy is no live sample.
TEST(ReplyTrust, ASecondFaultPageIsNoLiveSample) {
    test::LinkHarness h;
    h.ecu.setFaultRecord(69, 76);
    ASSERT_TRUE(h.connect());
    h.form.ButonTroubles_Click();
    ASSERT_TRUE(h.runUntilStep(171));
    h.ecu.queueFault({ReplyFault::Duplicate, 20});  // the page 7 reply, sent at the next tick
    ASSERT_TRUE(h.runUntilStep(172));
    const std::uint64_t samples = h.form.LiveSampleCount;
    h.runner.runFor(100);
    EXPECT_EQ(h.form.SequencerState, 8);
    EXPECT_EQ(h.form.TroublesCRCErrTextBox.text, "76");
    EXPECT_EQ(h.form.LiveSampleCount, samples);
    EXPECT_EQ(h.form.LastDroppedReply, Form1Korvane::DroppedReply::Second);
}

// A coil count no coil choice has is shown marked and never sets the engine-speed
// factor; the counts 1..12 are taken as they are.
TEST(ReplyTrust, ACoilCountOutsideOneToTwelveIsDoubtful) {
    struct Case {
        int coils;
        std::string shown;
        bool doubtful;
        double factor;  // after a good read with 2 coils first
    } const cases[] = {
        {0, "0 ?", true, 1}, {13, "13 ?", true, 1}, {255, "255 ?", true, 1},
        {1, "1", false, 0.5}, {12, "12", false, 2}, {7, "7", false, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.coils);
        test::LinkHarness h;
        ASSERT_TRUE(h.connect());
        ASSERT_EQ(h.form.RpmFactor, 1);
        h.ecu.setSetting(31, c.coils);
        ASSERT_TRUE(ReadSettings(h));
        EXPECT_EQ(h.form.Coil.text, c.shown);
        EXPECT_EQ(h.form.CoilCountDoubtful, c.doubtful);
        EXPECT_EQ(h.form.RpmFactor, c.factor);
    }
}

// Only the length the request is answered with counts: a 13-byte piece of a
// 20-byte band block is no reply. Its byte 2 (the band's first rise) must not
// move the fuel pictures, and the block is asked for again and counted.
TEST(ReplyTrust, APieceOfABandBlockIsNoReply) {
    test::LinkHarness h;
    sim::CurveBlockData band = h.ecu.memory().curveBlock(12);
    band[0] = 1;  // a first rise of 1 reads as "on gas" when taken for a fuel status
    h.ecu.memory().setCurveBlock(12, band);
    bool cut = false;
    SpoilingLine line(h.ecu, [&](const Bytes& request, std::vector<sim::ReplyChunk> chunks) {
        if (!cut && IsBandRequest(request)) {
            cut = true;
            chunks.front().bytes.resize(13);
        }
        return chunks;
    });
    h.port.attachPeer(4, &line);
    ASSERT_TRUE(h.connect());
    const std::vector<std::string> shown = StatusLinesOfARead(h, "CURVE", [&] {
        EXPECT_FALSE(h.form.ImgGaz.visible);  // the engine stays shown on petrol
    });
    ASSERT_TRUE(cut);
    EXPECT_EQ(h.form.CurveReadResult, Outcome::Done);
    const std::vector<std::string> expected{
        "READING THE CURVE 1 / 6  READING ERROR 1", "READING THE CURVE 2 / 6  READING ERROR 1",
        "READING THE CURVE 3 / 6  READING ERROR 1", "READING THE CURVE 4 / 6  READING ERROR 1",
        "READING THE CURVE 5 / 6  READING ERROR 1", "READING THE CURVE 6 / 6  READING ERROR 1",
        "CURVE READ  READING ERROR 1"};
    EXPECT_EQ(shown, expected);
    EXPECT_EQ(h.form.CurveTable[3][1], h.ecu.memory().bandLevel(1, 1));
}

TEST(ReplyTrust, AGoodCurveReadShowsProgressAndEndsReadWithoutAnErrorCount) {
    test::LinkHarness h('.', 0);
    ASSERT_TRUE(h.connect());
    const std::vector<std::string> expected{"EĞRİ OKUNUYOR 1 / 6", "EĞRİ OKUNUYOR 2 / 6", "EĞRİ OKUNUYOR 3 / 6",
                                            "EĞRİ OKUNUYOR 4 / 6", "EĞRİ OKUNUYOR 5 / 6", "EĞRİ OKUNUYOR 6 / 6",
                                            "EĞRİ OKUNDU"};
    EXPECT_EQ(StatusLinesOfARead(h, "EĞRİ"), expected);
}

// A read (or a write's read back) whose band replies never come whole while
// everything else is answered ends after a bounded time with its failure, the
// controls given back, instead of asking for ever.
TEST(ReplyTrust, AReadWithoutProgressEnds) {
    struct Case {
        const char* name;
        std::function<void(Form1Korvane&)> start;
        std::string message;
    } const cases[] = {
        {"curve read", [](Form1Korvane& f) { f.ButonEcuOku_Click(); },
         "CURVE READ DID NOT COMPLETE : NO VALID REPLY ! "},
        {"write's read back", [](Form1Korvane& f) { f.StartCurveWrite(true); }, "CURVE WRITE DID NOT COMPLETE ! "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::LinkHarness h;
        SpoilingLine line(h.ecu, [](const Bytes& request, std::vector<sim::ReplyChunk> chunks) {
            if (IsBandRequest(request)) chunks.front().bytes.resize(19);
            return chunks;
        });
        h.port.attachPeer(4, &line);
        ASSERT_TRUE(h.connect());
        const double start = h.runner.nowMs();
        c.start(h.form);
        ASSERT_TRUE(h.runner.runUntil(
            [&] { return h.form.SequencerState == 8 && !h.form.CurveWriteRunning(); }, 60000));
        EXPECT_LT(h.runner.nowMs() - start, 30000);
        EXPECT_EQ(h.form.KomutSatırı.text, c.message);
        EXPECT_FALSE(h.form.EcuSilent);  // the ECU answered all along
        EXPECT_TRUE(h.form.ButonEcuOku.enabled);
        EXPECT_TRUE(h.form.ButonEcuYaz.enabled);
        EXPECT_FALSE(h.form.ProgressBar8.visible);
        EXPECT_FALSE(h.form.ProgressBar7.visible);
        EXPECT_TRUE(h.form.EğriKağıdıPic.visible);
        EXPECT_NE(h.form.CurveReadResult, Outcome::Done);
        if (h.form.CurveWriteResult != Form1Korvane::CurveWriteOutcome::None) {
            EXPECT_EQ(h.form.CurveWriteResult, Form1Korvane::CurveWriteOutcome::Incomplete);
        }
        // The poll goes on.
        h.runner.runFor(2000);
        EXPECT_EQ(h.form.SequencerState, 8);
    }
}

// A settings page that does not come back is asked for again; one that never
// comes is shown as not read, never with the value from before.
TEST(ReplyTrust, ASettingsPageThatDidNotComeBackIsAskedAgain) {
    struct Case {
        const char* name;
        int page;
        int losses;  // replies to that page lost, in a row
        Outcome result;
        std::string shown;
        std::string notRead;
    } const cases[] = {
        {"page 4 lost once", 4, 1, Outcome::Done,
         "coils=2 switch-rpm=900 switch-temp=30.1 min-pressure=0.70 leak-pressure=0.60 advance=0.20", ""},
        {"page 5 lost twice", 5, 2, Outcome::Done,
         "coils=2 switch-rpm=900 switch-temp=30.1 min-pressure=0.70 leak-pressure=0.60 advance=0.20", ""},
        {"page 1 never", 1, 100, Outcome::CutShort,
         "coils=? switch-rpm=900 switch-temp=30.1 min-pressure=0.70 leak-pressure=0.60 advance=0.20", "coils"},
        {"page 4 never", 4, 100, Outcome::CutShort,
         "coils=2 switch-rpm=? switch-temp=? min-pressure=0.70 leak-pressure=0.60 advance=0.20",
         "switch-rpm switch-temp"},
        {"page 5 never", 5, 100, Outcome::CutShort,
         "coils=2 switch-rpm=900 switch-temp=30.1 min-pressure=? leak-pressure=? advance=?",
         "min-pressure leak-pressure advance"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::LinkHarness h;
        ASSERT_TRUE(h.connect());  // every box filled once
        h.ecu.setSetting(47, 90);  // the ECU now holds 900 rpm
        int lost = 0;
        SpoilingLine line(h.ecu, [&](const Bytes& request, std::vector<sim::ReplyChunk> chunks) {
            if (IsPageRequest(request, c.page) && lost < c.losses) {
                ++lost;
                chunks.clear();
            }
            return chunks;
        });
        h.port.attachPeer(4, &line);
        ASSERT_TRUE(ReadSettings(h));
        const std::string& shown = c.shown;
        EXPECT_EQ(SettingsShown(h.form), shown);
        EXPECT_EQ(h.form.SettingsReadResult, c.result);
        EXPECT_EQ(h.form.SettingsNotRead, c.notRead);
        if (c.result == Outcome::CutShort) {
            EXPECT_NE(h.form.KomutSatırı.text.find("SETTINGS NOT READ : "), std::string::npos);
        }
        h.runner.runFor(1000);
        EXPECT_EQ(h.form.SequencerState, 8);
    }
}

// Each sequence that changes the ECU says how it ended; a silence that ends it is
// "cut short" even when the ECU answers again afterwards.
TEST(ReplyTrust, EveryWriteSequenceEndsWithItsOutcome) {
    struct Case {
        const char* name;
        std::function<void(Form1Korvane&)> start;
        Outcome Form1Korvane::*result;
        double silentAfterMs;  // < 0: no silence
        std::function<void(sim::VirtualEcu&)> prepare;
        Outcome expected;
    } const cases[] = {
        {"factory load", [](Form1Korvane& f) { f.ButonLoadFabricSettings_Click(); },
         &Form1Korvane::FactoryLoadResult, -1, nullptr, Outcome::Done},
        {"factory load, 4 s of silence", [](Form1Korvane& f) { f.ButonLoadFabricSettings_Click(); },
         &Form1Korvane::FactoryLoadResult, 10000, nullptr, Outcome::CutShort},
        {"fault clear", [](Form1Korvane& f) { f.ButonErrorClear_Click(); }, &Form1Korvane::FaultClearResult, -1,
         nullptr, Outcome::Done},
        {"fault clear, 4 s of silence", [](Form1Korvane& f) { f.ButonErrorClear_Click(); },
         &Form1Korvane::FaultClearResult, 8000, nullptr, Outcome::CutShort},
        {"setting write", Type(ecu::Setting::LeakPressure, "0.80"), &Form1Korvane::SettingWriteResult, -1, nullptr,
         Outcome::Done},
        {"setting the ECU refuses", Type(ecu::Setting::LeakPressure, "0.80"), &Form1Korvane::SettingWriteResult, -1,
         [](sim::VirtualEcu& e) { e.refuseAddress(53); }, Outcome::Differs},
        {"setting write, silence in the read back", Type(ecu::Setting::LeakPressure, "0.80"),
         &Form1Korvane::SettingWriteResult, 1200, nullptr, Outcome::CutShort},
        {"setting out of range", Type(ecu::Setting::LeakPressure, "2.50"), &Form1Korvane::SettingWriteResult, -1,
         nullptr, Outcome::Refused},
        {"settings read, silence", [](Form1Korvane& f) { f.ButonGenel_Click(); },
         &Form1Korvane::SettingsReadResult, 600, nullptr, Outcome::CutShort},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::LinkHarness h;
        ScriptedQuestions yes{true};
        h.form.env.questions = &yes;
        if (c.prepare) c.prepare(h.ecu);
        ASSERT_TRUE(h.connect());
        c.start(h.form);
        if (c.silentAfterMs >= 0) {
            h.runner.runFor(c.silentAfterMs);
            h.ecu.setSilent(true);
            h.runner.runFor(4000);
            // Judged when the silence ended it: once the ECU answers again the
            // settings pages are read anew, and that read has an outcome of its own.
            EXPECT_EQ(h.form.*c.result, c.expected);
            h.ecu.setSilent(false);
        }
        h.runner.runFor(90000);
        if (c.silentAfterMs < 0) {
            EXPECT_EQ(h.form.*c.result, c.expected);
        }
        EXPECT_EQ(h.form.SequencerState, 8);
    }
}

// Only real silence ends the factory load: a line that spoils a third of the
// replies still lets all 37 writes out, and the load ends as done.
TEST(ReplyTrust, AGarbledLineDoesNotEndTheFactoryLoad) {
    for (ReplyFault fault : {ReplyFault::Garbage, ReplyFault::Cut, ReplyFault::Split}) {
        SCOPED_TRACE(static_cast<int>(fault));
        test::LinkHarness h;
        ScriptedQuestions yes{true};
        h.form.env.questions = &yes;
        ASSERT_TRUE(h.connect());
        h.ecu.setFaultRate(fault, 0.3);
        h.form.ButonLoadFabricSettings_Click();
        ASSERT_TRUE(h.runner.runUntil([&] { return h.form.FactoryLoadResult != Outcome::Running; }, 90000));
        EXPECT_EQ(h.form.FactoryLoadResult, Outcome::Done);
        EXPECT_EQ(h.ecu.counters().settingsStored, 37u);
    }
}

}  // namespace
}  // namespace gasecu
