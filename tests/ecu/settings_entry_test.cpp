// Changing a setting from the general-settings screen against the virtual ECU: what
// goes on the line for each entry, what the ECU ends up holding, what the boxes
// show after the read-back, and the entries that must send nothing.
#include <gtest/gtest.h>

#include "link/command_frames.h"
#include "support/link_harness.h"

namespace gasecu {
namespace {

using test::kEnter;

std::vector<Bytes> SettingWrites(const std::vector<sim::SentFrame>& frames) {
    std::vector<Bytes> out;
    for (const auto& f : frames)
        if (f.bytes[0] == frames::kSettingWriteCode || f.bytes[0] == frames::kSettingWordWriteCode) out.push_back(f.bytes);
    return out;
}

struct SettingsEntry : ::testing::Test {
    explicit SettingsEntry(char separator = '.', double language = 1) : h(separator, language) {}
    test::LinkHarness h;
    void SetUp() override { ASSERT_TRUE(h.connect()); }

    // Types the text into the setting's box, presses Enter, and runs until the
    // write and its read-back are over; returns the writes that went out.
    std::vector<Bytes> enter(ecu::Setting setting, const std::string& text) {
        const double start = h.runner.nowMs();
        h.form.SettingBox(setting).text = text;
        h.form.SettingEntryKeyPress(setting, kEnter);
        h.runner.runFor(500.0 * 12);
        return SettingWrites(h.framesSince(start));
    }
};

TEST_F(SettingsEntry, EachBoxWritesItsEncodedByteAndShowsTheReadBack) {
    struct Case {
        ecu::Setting setting;
        std::string typed;
        std::vector<Bytes> writes;  // empty: refused, the box back at the ECU's value
        int address;
        int stored;
        std::string shown;
    };
    const Case cases[] = {
        {ecu::Setting::MinimumPressure, "1.20", {{75, 7, 51, 0, 120, 171, 10}}, 51, 120, "1.20"},
        // The box shows the regional comma; typed back it means the same.
        {ecu::Setting::MinimumPressure, "1,30", {{75, 7, 51, 0, 130, 181, 10}}, 51, 130, "1.30"},
        {ecu::Setting::MinimumPressure, "0.40", {{75, 7, 51, 0, 40, 91, 10}}, 51, 40, "0.40"},
        {ecu::Setting::MinimumPressure, "1.80", {{75, 7, 51, 0, 180, 231, 10}}, 51, 180, "1.80"},
        {ecu::Setting::MinimumPressure, "0.39", {}, 51, 180, "1.80"},
        {ecu::Setting::MinimumPressure, "1.81", {}, 51, 180, "1.80"},
        {ecu::Setting::LeakPressure, "0.59", {}, 53, 60, "0.60"},
        {ecu::Setting::LeakPressure, "0.75 bar", {{75, 7, 53, 0, 75, 128, 10}}, 53, 75, "0.75"},
        {ecu::Setting::SwitchRpm, "2100", {}, 47, 85, "850"},
        {ecu::Setting::SwitchRpm, "1234", {{75, 7, 47, 0, 123, 170, 10}}, 47, 123, "1230"},
        {ecu::Setting::SwitchTemperature, "60", {{75, 7, 48, 0, 109, 157, 10}}, 48, 109, "59.8"},
        // The stated range, 19.9 to 96.1 °C, is the accepted one: just beyond it is
        // refused although the rounding would reach a byte the ECU takes.
        {ecu::Setting::SwitchTemperature, "19.8", {}, 48, 109, "59.8"},
        {ecu::Setting::SwitchTemperature, "96.2", {}, 48, 109, "59.8"},
        {ecu::Setting::SwitchTemperature, "19.73951", {}, 48, 109, "59.8"},
        {ecu::Setting::SwitchTemperature, "19.9", {*frames::SettingWrite(48, 207)}, 48, 207, "19.9"},
        {ecu::Setting::SwitchTemperature, "96.1", {*frames::SettingWrite(48, 20)}, 48, 20, "96.1"},
        {ecu::Setting::Coils, "5", {}, 31, 2, "2"},
        // Not a whole number of coils: refused like an out-of-range count.
        {ecu::Setting::Coils, "2.5", {}, 31, 2, "2"},
        // "04" is 4 coils, and the coil type for 4 follows.
        {ecu::Setting::Coils, "04", {{75, 7, 31, 0, 4, 35, 10}, {75, 7, 22, 0, 5, 27, 10}}, 31, 4, "4"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        EXPECT_EQ(enter(c.setting, c.typed), c.writes);
        EXPECT_EQ(h.ecu.setting(c.address), c.stored);
        EXPECT_EQ(h.form.SettingBox(c.setting).text, c.shown);
        EXPECT_EQ(h.form.SequencerState, 8);
        EXPECT_FALSE(h.form.SettingNotTaken);
        if (c.writes.empty()) {
            EXPECT_NE(h.form.KomutSatırı.text.find("VALUE REFUSED ! "), std::string::npos);
        } else {
            EXPECT_EQ(h.form.SettingLabel(c.setting)->backColour, colours::kDarkCyan);
            EXPECT_TRUE(h.form.SettingBox(c.setting).enabled);
            EXPECT_FALSE(h.form.ProgressBar12.visible);
        }
    }
    EXPECT_EQ(h.ecu.setting(22), 5);
    EXPECT_EQ(h.form.RpmFactor, 2);  // four coils
}

TEST_F(SettingsEntry, OnlyEnterActsAndAConfirmedEntryLocksUntilTheReadBack) {
    h.form.SetPXXPressureTextBox.text = "1.20";
    for (int key : {int{'5'}, int{','}, 8, 27, int{' '}}) h.form.SetPXXPressureTextBox_KeyPress(key);
    const double start = h.runner.nowMs();
    h.runner.runFor(2000);
    EXPECT_TRUE(SettingWrites(h.framesSince(start)).empty());
    EXPECT_EQ(h.form.SequencerState, 8);

    h.form.SetPXXPressureTextBox_KeyPress(kEnter);
    EXPECT_EQ(h.form.SequencerState, 46);
    EXPECT_EQ(h.form.PendingSettingFrame, (Bytes{75, 7, 51, 0, 120, 171, 10}));
    EXPECT_EQ(h.form.SetLabelPXXPressureTextBox.backColour, colours::kYellow);
    EXPECT_TRUE(h.form.ProgressBar12.visible);
    EXPECT_FALSE(h.form.Coil.enabled);
    EXPECT_FALSE(h.form.avas.enabled);
    EXPECT_EQ(h.form.CoilChanged, 0);
}

TEST_F(SettingsEntry, RefusedEntryNamesTheAcceptedRange) {
    struct Case {
        ecu::Setting setting;
        std::string typed;
        std::string english;
    };
    const Case cases[] = {
        {ecu::Setting::Coils, "2.5", "VALUE REFUSED ! COIL COUNT : 1 - 4 (WHOLE NUMBER)"},
        {ecu::Setting::SwitchRpm, "2100", "VALUE REFUSED ! TRANSITION SPEED : 500 - 2000 rpm"},
        {ecu::Setting::SwitchTemperature, "100", "VALUE REFUSED ! TRANSITION TEMPERATURE : 19.9 - 96.1 °C"},
        {ecu::Setting::MinimumPressure, "abc", "VALUE REFUSED ! MINIMUM PRESSURE : 0.40 - 1.80 bar"},
        {ecu::Setting::LeakPressure, "2", "VALUE REFUSED ! LEAKAGE PRESSURE : 0.60 - 1.80 bar"},
    };
    for (const Case& c : cases) {
        h.form.SettingBox(c.setting).text = c.typed;
        h.form.SettingEntryKeyPress(c.setting, kEnter);
        EXPECT_EQ(h.form.KomutSatırı.text, c.english);
        // The box does not stay empty: it shows what the ECU still holds.
        EXPECT_FALSE(h.form.SettingBox(c.setting).text.empty());
        EXPECT_EQ(h.form.SequencerState, 8);
    }
}

struct TurkishSettingsEntry : SettingsEntry {
    TurkishSettingsEntry() : SettingsEntry(',', 0) {}
};

TEST_F(TurkishSettingsEntry, RangeInTurkishWithTheRegionalCommaAndCommaEntriesAccepted) {
    h.form.SetPXXPressureTextBox.text = "0,3";
    h.form.SetPXXPressureTextBox_KeyPress(kEnter);
    EXPECT_EQ(h.form.KomutSatırı.text, "GEÇERSİZ DEĞER ! EN AZ BASINÇ : 0,40 - 1,80 bar");
    EXPECT_EQ(enter(ecu::Setting::MinimumPressure, "1,25"), (std::vector<Bytes>{{75, 7, 51, 0, 125, 176, 10}}));
    EXPECT_EQ(h.form.SetPXXPressureTextBox.text, "1,25");
}

TEST_F(SettingsEntry, AdvanceListWritesTheWordAtOnceThenReadsThePages) {
    h.form.avas.selectedIndex = 5;  // "1.25 ms"
    const double start = h.runner.nowMs();
    h.form.avas_Click();
    ASSERT_FALSE(h.runner.sentFrames().empty());
    EXPECT_EQ(h.runner.sentFrames().back().bytes, (Bytes{76, 8, 55, 0, 56, 1, 112, 10}));
    EXPECT_EQ(h.form.SequencerState, 1);
    EXPECT_FALSE(h.form.avas.enabled);
    EXPECT_FALSE(h.form.ProgressBar12.visible);  // no bar and no mark for the advance
    h.runner.runFor(500.0 * 10);
    EXPECT_EQ(SettingWrites(h.framesSince(start)).size(), 1u);
    EXPECT_EQ(h.ecu.memory().settingWord(55), 312);
    EXPECT_EQ(h.form.msavvv.text, "1.25");
    EXPECT_EQ(h.form.avas.selectedIndex, 5);
    EXPECT_FALSE(h.form.SettingNotTaken);

    // Without a selection the list writes 125 (0.50 ms).
    h.form.avas.selectedIndex = -1;
    h.form.avas_Click();
    EXPECT_EQ(h.runner.sentFrames().back().bytes, (Bytes{76, 8, 55, 0, 125, 0, 180, 10}));
}

TEST_F(SettingsEntry, AValueTheEcuDidNotTakeIsPointedOut) {
    h.ecu.refuseAddress(51);
    h.ecu.refuseAddress(55);
    enter(ecu::Setting::MinimumPressure, "1.20");
    EXPECT_EQ(h.ecu.setting(51), 70);
    EXPECT_EQ(h.form.SetPXXPressureTextBox.text, "0.70");  // what the ECU holds
    EXPECT_TRUE(h.form.SettingNotTaken);
    EXPECT_EQ(h.form.SetLabelPXXPressureTextBox.backColour, colours::kRed);
    EXPECT_EQ(h.form.KomutSatırı.text, "THE ECU DID NOT TAKE THE SETTING : MINIMUM PRESSURE");

    // The next entry that the ECU takes clears the mark.
    enter(ecu::Setting::LeakPressure, "0.80");
    EXPECT_FALSE(h.form.SettingNotTaken);
    EXPECT_EQ(h.form.SetLabelPXXPressureTextBox.backColour, colours::kDarkCyan);

    h.form.avas.selectedIndex = 8;
    h.form.avas_Click();
    h.runner.runFor(500.0 * 10);
    EXPECT_TRUE(h.form.SettingNotTaken);
    EXPECT_EQ(h.form.msavvv.text, "0.20");
    EXPECT_EQ(h.form.KomutSatırı.text, "THE ECU DID NOT TAKE THE SETTING : ADVANCE");
}

TEST_F(SettingsEntry, NothingCutsARunningExchangeShort) {
    h.form.ButonGenel_Click();  // the refresh of every page runs
    h.form.EnableSettingsControlsButGenel();
    ASSERT_EQ(h.form.SequencerState, 1);
    h.form.Coil.text = "3";
    h.form.Coil_KeyPress(kEnter);
    EXPECT_EQ(h.form.SequencerState, 1);
    EXPECT_EQ(h.form.KomutSatırı.text, "ECU EXCHANGE RUNNING, PLEASE WAIT ! ");
    EXPECT_EQ(h.form.Coil.text, "3");  // kept for a second try
    h.form.avas.selectedIndex = 12;
    const std::size_t sent = h.runner.sentFrames().size();
    h.form.avas_Click();
    EXPECT_EQ(h.runner.sentFrames().size(), sent);
    EXPECT_EQ(h.form.avas.selectedIndex, 0);  // back to what the ECU holds (0.20 ms)
    h.form.ButonErrorClear_Click();
    h.form.ButonLoadFabricSettings_Click();
    EXPECT_EQ(h.form.SequencerState, 1);
    EXPECT_TRUE(h.form.ButonErrorClear.enabled);
    h.runner.runFor(500.0 * 8);
    EXPECT_EQ(h.ecu.setting(31), 2);
}

TEST_F(SettingsEntry, WithoutTheLinkAnEntrySendsNothing) {
    h.form.LinkUp = false;
    h.form.SequencerState = 8;
    h.form.SetPTransRPMTextBox.text = "900";
    h.form.SetPTransRPMTextBox_KeyPress(kEnter);
    EXPECT_EQ(h.form.SequencerState, 8);
    EXPECT_TRUE(h.form.PendingSettingFrame.empty());
    h.form.avas_Click();
    EXPECT_EQ(h.form.SequencerState, 8);
}

TEST(GasTypeButtons, ShowTheChosenGasInGreen) {
    test::LinkHarness h;
    h.form.CNG_Click();
    EXPECT_EQ(h.form.CNG.backColour, colours::kGreen);
    EXPECT_EQ(h.form.LPG.backColour, colours::kRed);
    EXPECT_EQ(h.form.Label4.foreColour, colours::kGreen);
    EXPECT_EQ(h.form.Label3.foreColour, colours::kRed);
    h.form.LPG_Click();
    EXPECT_EQ(h.form.LPG.backColour, colours::kGreen);
    EXPECT_EQ(h.form.CNG.backColour, colours::kRed);
    EXPECT_EQ(h.form.Label3.foreColour, colours::kGreen);
    EXPECT_EQ(h.form.Label4.foreColour, colours::kRed);
    EXPECT_TRUE(h.runner.sentFrames().empty());
}

}  // namespace
}  // namespace gasecu
