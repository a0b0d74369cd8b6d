// The two long writes of the settings screen, tick by tick against the virtual
// ECU: loading the factory settings (asked first) and clearing the fault records.
#include <gtest/gtest.h>

#include "link/command_frames.h"
#include "support/link_harness.h"

namespace gasecu {
namespace {

struct Tick {
    double step;           // the step the tick ran
    std::vector<Bytes> sent;
    float progress;        // the sequence's bar after the tick
    bool barVisible;
};

struct LongWrites : ::testing::Test {
    test::LinkHarness h;
    ScriptedQuestions question{true};
    void SetUp() override {
        h.form.env.questions = &question;
        ASSERT_TRUE(h.connect());
    }
    // Runs tick by tick until the step machine is back at idle (or n ticks).
    std::vector<Tick> runTicks(const ProgressBarControl& bar, int n) {
        std::vector<Tick> ticks;
        for (int i = 0; i < n; ++i) {
            const double step = h.form.SequencerState;
            const double start = h.runner.nowMs() + 1;
            h.runner.runFor(500);
            std::vector<Bytes> sent;
            for (const auto& f : h.framesSince(start)) sent.push_back(f.bytes);
            ticks.push_back({step, sent, bar.value, bar.visible});
        }
        return ticks;
    }
};

TEST_F(LongWrites, FactorySettingsAskFirstThenWriteTheTableAndReadItBack) {
    question.answerNext(false);
    h.form.ButonLoadFabricSettings_Click();
    ASSERT_EQ(question.asked().size(), 1u);
    EXPECT_EQ(question.asked()[0].text, "Every setting in the ECU will be replaced by its factory value. Continue?");
    EXPECT_EQ(h.form.SequencerState, 8);
    EXPECT_TRUE(h.form.ButonLoadFabricSettings.enabled);

    // Values a fitter set on this car, all to be replaced.
    for (int a : {11, 22, 31, 47, 48, 51, 53, 65}) h.ecu.setSetting(a, 33);
    h.form.LanguageIndex = 0;
    h.form.ButonLoadFabricSettings_Click();
    ASSERT_EQ(question.asked().size(), 2u);
    EXPECT_EQ(question.asked()[1].yes, "Evet");
    EXPECT_EQ(question.asked()[1].no, "Hayır");
    EXPECT_EQ(h.form.SequencerState, 48);
    EXPECT_FALSE(h.form.ButonLoadFabricSettings.enabled);

    // Steps 48..158, the read-back 1..7, one idle tick.
    const std::vector<Tick> ticks = runTicks(h.form.ProgressBar9, 111 + 8);
    // The writes, as the ECU must receive them, at steps 48, 51, ..., 156.
    const std::vector<Bytes> expected = {
        {75, 7, 11, 0, 60, 71, 10},    {75, 7, 32, 0, 90, 122, 10},   {75, 7, 28, 0, 4, 32, 10},
        {75, 7, 31, 0, 2, 33, 10},     {75, 7, 22, 0, 10, 32, 10},    {75, 7, 22, 0, 10, 32, 10},
        {75, 7, 29, 0, 1, 30, 10},     {75, 7, 23, 0, 123, 146, 10},  {75, 7, 24, 0, 129, 153, 10},
        {75, 7, 25, 0, 100, 125, 10},  {75, 7, 57, 0, 60, 117, 10},   {75, 7, 58, 0, 232, 34, 10},
        {75, 7, 59, 0, 202, 5, 10},    {75, 7, 30, 0, 0, 30, 10},     {75, 7, 27, 0, 0, 27, 10},
        {75, 7, 26, 0, 0, 26, 10},     {75, 7, 33, 0, 100, 133, 10},  {75, 7, 34, 0, 100, 134, 10},
        {75, 7, 35, 0, 100, 135, 10},  {76, 8, 36, 0, 0, 1, 37, 10},  {76, 8, 38, 0, 159, 2, 199, 10},
        {76, 8, 40, 0, 25, 0, 65, 10}, {76, 8, 42, 0, 153, 0, 195, 10}, {75, 7, 44, 0, 100, 144, 10},
        {75, 7, 45, 0, 231, 20, 10},   {75, 7, 46, 0, 231, 21, 10},   {75, 7, 47, 0, 85, 132, 10},
        {75, 7, 48, 0, 182, 230, 10},  {75, 7, 49, 0, 0, 49, 10},     {75, 7, 50, 0, 0, 50, 10},
        {76, 8, 55, 0, 50, 0, 105, 10}, {75, 7, 51, 0, 70, 121, 10},  {75, 7, 53, 0, 60, 113, 10},
        {75, 7, 52, 0, 243, 39, 10},   {76, 8, 61, 0, 125, 0, 186, 10}, {76, 8, 63, 0, 44, 1, 108, 10},
        {75, 7, 65, 0, 11, 76, 10},
    };
    std::size_t written = 0;
    for (const Tick& t : ticks) {
        if (t.step < 48 || t.step > 158) continue;
        SCOPED_TRACE(t.step);
        const int s = static_cast<int>(t.step);
        if (s == 158) {
            EXPECT_TRUE(t.sent.empty());
            EXPECT_FALSE(t.barVisible);
            EXPECT_EQ(t.progress, 0);
            continue;
        }
        ASSERT_EQ(t.sent.size(), 1u);
        if ((s - 48) % 3 == 0) {
            ASSERT_LT(written, expected.size());
            EXPECT_EQ(t.sent[0], expected[written++]);
        } else {
            EXPECT_EQ(t.sent[0], frames::kLiveDataRequest);
        }
        EXPECT_TRUE(t.barVisible);
        EXPECT_EQ(t.progress, s == 48 ? 1 : s - 47);  // 2 at 49, 110 at 157
    }
    EXPECT_EQ(written, expected.size());
    EXPECT_EQ(ticks[111].step, 1);  // the pages are read back
    EXPECT_EQ(h.form.SequencerState, 8);

    EXPECT_EQ(h.ecu.setting(22), 10);
    EXPECT_EQ(h.ecu.setting(65), 11);
    EXPECT_EQ(h.form.Coil.text, "2");
    EXPECT_EQ(h.form.SetPTransRPMTextBox.text, "850");
    EXPECT_EQ(h.form.SetPTransRedTempTextBox.text, "30.1");
    EXPECT_EQ(h.form.SetPXXPressureTextBox.text, "0.70");
    EXPECT_EQ(h.form.SetPXXPressLeakageTextBox.text, "0.60");
    EXPECT_EQ(h.form.msavvv.text, "0.20");
    EXPECT_TRUE(h.form.SettingsSettingsPic.visible);
    EXPECT_TRUE(h.form.ButonLoadFabricSettings.enabled);
    EXPECT_EQ(h.form.KomutSatırı.text, "FABRİKA AYARLARI YÜKLENDİ");
    EXPECT_TRUE(h.form.ButonGenel.enabled);
    EXPECT_TRUE(h.form.ButonSetup.enabled);
}

TEST_F(LongWrites, FactoryLoadCutByALostLinkGivesTheScreenBack) {
    h.form.ButonLoadFabricSettings_Click();
    runTicks(h.form.ProgressBar9, 10);
    EXPECT_FALSE(h.form.SettingsSettingsPic.visible);
    h.form.LinkUp = false;
    runTicks(h.form.ProgressBar9, 1);
    EXPECT_EQ(h.form.SequencerState, 8);
    EXPECT_TRUE(h.form.ButonLoadFabricSettings.enabled);
    EXPECT_TRUE(h.form.SettingsSettingsPic.visible);
    EXPECT_FALSE(h.form.ProgressBar9.visible);
    EXPECT_EQ(h.form.KomutSatırı.text, "FACTORY SETTINGS NOT COMPLETED : NO CONNECTION !");
}

TEST_F(LongWrites, NoQuestionMeansNoFactoryLoad) {
    h.form.env.questions = nullptr;
    h.form.ButonLoadFabricSettings_Click();
    EXPECT_EQ(h.form.SequencerState, 8);
}

// Both long writes of the settings screen undo a fitter's work for good (every
// setting, every fault record): each asks first, No is the answer without one,
// and No sends nothing.
TEST_F(LongWrites, BothLongWritesAskFirstAndNoSendsNothing) {
    struct Case {
        const char* what;
        void (Form1Korvane::*click)();
        ButtonControl Form1Korvane::*button;
        const char* english;
        const char* turkish;
        double firstStep;
    } const cases[] = {
        {"factory settings", &Form1Korvane::ButonLoadFabricSettings_Click, &Form1Korvane::ButonLoadFabricSettings,
         "Every setting in the ECU will be replaced by its factory value. Continue?",
         "EKÜ'deki bütün ayarlar fabrika değerleriyle değiştirilecek. Devam edilsin mi?", 48},
        {"fault clear", &Form1Korvane::ButonErrorClear_Click, &Form1Korvane::ButonErrorClear,
         "Every fault record in the ECU will be erased. Continue?",
         "EKÜ'deki bütün hata kayıtları silinecek. Devam edilsin mi?", 175},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        for (int a = 66; a <= 86; ++a) h.ecu.setFaultRecord(a, 5);
        const std::size_t asked = question.asked().size();
        const double start = h.runner.nowMs() + 1;
        // No, and no one to ask: nothing happens.
        question.answerNext(false);
        h.form.LanguageIndex = 1;
        (h.form.*k.click)();
        ASSERT_EQ(question.asked().size(), asked + 1);
        EXPECT_EQ(question.asked()[asked].text, k.english);
        EXPECT_EQ(question.asked()[asked].no, "No");
        h.form.env.questions = nullptr;
        (h.form.*k.click)();
        h.form.env.questions = &question;
        EXPECT_EQ(h.form.SequencerState, 8);
        EXPECT_TRUE((h.form.*k.button).enabled);
        h.runner.runFor(3000);
        for (const auto& f : h.framesSince(start)) EXPECT_EQ(f.bytes, frames::kLiveDataRequest);
        EXPECT_EQ(h.ecu.setting(66), 5);
        // Yes, asked in Turkish, starts it.
        h.form.LanguageIndex = 0;
        question.answerNext(true);
        (h.form.*k.click)();
        ASSERT_EQ(question.asked().size(), asked + 2);
        EXPECT_EQ(question.asked()[asked + 1].text, k.turkish);
        EXPECT_EQ(h.form.SequencerState, k.firstStep);
        EXPECT_FALSE((h.form.*k.button).enabled);
        ASSERT_TRUE(h.runner.runUntil([&] { return h.form.SequencerState == 8; }, 120000));
        h.runner.runFor(4000);
    }
}

TEST_F(LongWrites, FaultClearZeroesTheRecordsThenReadsTheFaultPages) {
    for (int a = 66; a <= 86; ++a) h.ecu.setFaultRecord(a, a - 60);
    h.form.TroublesGasValveRelayTextBox.text = "6";
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        h.form.ButonErrorClear_Click();
        EXPECT_FALSE(h.form.ButonErrorClear.enabled);
        const std::vector<Tick> ticks = runTicks(h.form.ProgressBar10, 64 + 4);
        std::vector<Bytes> writes;
        int expectedAddress = 66;
        for (const Tick& t : ticks) {
            EXPECT_NE(t.step, 238);
            if (t.step < 175 || t.step > 237) continue;
            ASSERT_EQ(t.sent.size(), 1u);
            if ((static_cast<int>(t.step) - 175) % 3 == 0) {
                const auto a = static_cast<std::uint8_t>(expectedAddress++);
                EXPECT_EQ(t.sent[0], (Bytes{75, 7, a, 0, 0, a, 10}));
                EXPECT_EQ(t.progress, expectedAddress - 66);
                EXPECT_TRUE(t.barVisible);
            } else {
                EXPECT_EQ(t.sent[0], frames::kLiveDataRequest);
            }
        }
        EXPECT_EQ(expectedAddress, 87);  // 21 writes, the last at 235
        EXPECT_EQ(ticks[63].step, 239);
        EXPECT_EQ(ticks[62].step, 237);
        EXPECT_EQ(ticks[64].step, 170);  // then the fault pages
        EXPECT_EQ(h.form.SequencerState, 8);
        for (int a = 66; a <= 86; ++a) EXPECT_EQ(h.ecu.setting(a), 0);
        for (TextBoxControl* box : {&h.form.TroublesGasValveRelayTextBox, &h.form.TroublesInjMainRelayTextBox,
                                    &h.form.TroublesPresslowTextBox, &h.form.TroublesCRCErrTextBox})
            EXPECT_EQ(box->text, "0");
        EXPECT_EQ(h.form.ClearWriteStep, 175);
        EXPECT_EQ(h.form.ClearPauseStep1, 178);
        EXPECT_EQ(h.form.ClearPauseStep2, 179);
        EXPECT_FALSE(h.form.ProgressBar10.visible);
        EXPECT_EQ(h.form.ProgressBar10.value, 0);
        EXPECT_TRUE(h.form.SettingsSettingsPic.visible);
        EXPECT_TRUE(h.form.ButonErrorClear.enabled);
        EXPECT_EQ(h.form.KomutSatırı.text, "FAULTS CLEARED");
        for (int a = 66; a <= 86; ++a) h.ecu.setFaultRecord(a, 1);
    }
}

TEST_F(LongWrites, FaultClearCutShortStartsAgainFromTheFirstAddress) {
    h.form.ButonErrorClear_Click();
    runTicks(h.form.ProgressBar10, 7);  // writes to 66, 67, 68, then a pause
    h.form.LinkUp = false;
    runTicks(h.form.ProgressBar10, 1);
    EXPECT_EQ(h.form.SequencerState, 8);
    EXPECT_TRUE(h.form.ButonErrorClear.enabled);
    EXPECT_TRUE(h.form.SettingsSettingsPic.visible);
    EXPECT_EQ(h.form.KomutSatırı.text, "FAULT CLEARING NOT COMPLETED : NO CONNECTION !");

    h.form.LinkUp = true;
    h.form.ButonErrorClear_Click();
    const std::vector<Tick> ticks = runTicks(h.form.ProgressBar10, 1);
    EXPECT_EQ(ticks[0].step, 175);
    EXPECT_EQ(ticks[0].sent, (std::vector<Bytes>{{75, 7, 66, 0, 0, 66, 10}}));
    EXPECT_EQ(h.form.ClearPauseStep1, 176);
}

}  // namespace
}  // namespace gasecu
