// The link indicator and the disconnect button against the virtual ECU, on the
// virtual clock: what the fitter reads beside the connect button through a
// connect, a scan that finds nothing, a silence and its end, a pulled adapter and
// a disconnect (at idle and under an exchange), and how the live values look
// while the link is down.
#include <gtest/gtest.h>

#include <string>

#include "support/link_harness.h"

namespace gasecu {
namespace {

using LinkState = Form1Korvane::LinkState;

// The age the indicator gives after its last " : ", in seconds.
double AgeShown(const std::string& caption) {
    const std::size_t at = caption.rfind(" : ");
    if (at == std::string::npos || caption.size() < 2 || caption.substr(caption.size() - 2) != " s") return -1;
    return std::stod(caption.substr(at + 3, caption.size() - 2 - at - 3));
}

// Every live value, caption and bar (fixed area and curve screen) greyed or not.
void ExpectLiveLooks(const Form1Korvane& f, bool live) {
    for (const TextBoxControl* box : {&f.TextMotorDevirHızı, &f.TextBasinc, &f.TextReduTemperature,
                                      &f.TextGasTemperature, &f.TextGasMS, &f.TextBenzinMS})
        EXPECT_EQ(box->enabled, live);
    for (const LabelControl* label : {&f.LabelDevir, &f.LabelBar, &f.LabelRegulator, &f.LabelEnjektor, &f.LabelGms,
                                      &f.LabelPms, &f.Label15, &f.Label18, &f.Label19, &f.Label20, &f.Label22,
                                      &f.Label23})
        EXPECT_EQ(label->enabled, live);
    // The fuel display and the gas type lamps; the gas type buttons stay pressable.
    for (const ImageControl* picture : {&f.ImgBenzin, &f.ImgGaz, &f.ImgGazGeçiş}) EXPECT_EQ(picture->enabled, live);
    EXPECT_EQ(f.Label3.enabled, live);
    EXPECT_EQ(f.Label4.enabled, live);
    for (const ButtonControl* lamp : {&f.LPG, &f.CNG}) {
        EXPECT_EQ(lamp->dimmed, !live);
        EXPECT_TRUE(lamp->enabled);
    }
    for (std::size_t i = 0; i < 2; ++i) {
        for (const auto* bars : {&f.ProgressBar1, &f.ProgressBar2, &f.ProgressBar3, &f.ProgressBar4, &f.ProgressBar5,
                                 &f.ProgressBar6})
            EXPECT_EQ((*bars)[i].enabled, live) << i;
        for (const auto* labels : {&f.Label7, &f.Label8, &f.Label9, &f.Label10, &f.Label11, &f.Label12})
            EXPECT_EQ((*labels)[i].enabled, live) << i;
    }
}

TEST(LinkIndicator, FollowsTheLinkThroughConnectSilenceRecoveryAndAPulledAdapter) {
    test::LinkHarness h;
    h.form.ApplyLanguageIndex();
    EXPECT_EQ(h.form.LinkLamp.caption, "DISCONNECTED");
    EXPECT_TRUE(h.form.LinkLamp.visible);
    EXPECT_FALSE(h.form.ButonBağlantıKes.enabled);
    ExpectLiveLooks(h.form, false);

    h.form.ComOpenButon_Click();
    ASSERT_TRUE(h.runner.runUntil([&] { return h.form.LinkStateShown == LinkState::Searching; }, 3000));
    EXPECT_NE(h.form.LinkLamp.caption.find(" : SEARCHING"), std::string::npos) << h.form.LinkLamp.caption;
    EXPECT_EQ(h.form.LinkLamp.backColour, colours::kYellow);
    EXPECT_TRUE(h.form.ButonBağlantıKes.enabled);
    ASSERT_TRUE(h.runner.runUntil([&] { return h.form.LinkUp && h.form.SequencerState == 8; }, 20000));
    h.runner.runFor(1000);
    const std::string connected = h.form.LinkLamp.caption;
    EXPECT_EQ(connected.rfind("COM4 : CONNECTED : ", 0), 0u) << connected;
    EXPECT_GE(AgeShown(connected), 0.0);
    EXPECT_LE(AgeShown(connected), 0.6);
    EXPECT_EQ(h.form.LinkLamp.backColour, colours::kGreen);
    EXPECT_FALSE(h.form.ComOpenButon.enabled);
    ExpectLiveLooks(h.form, true);

    // Silent: the age climbs with the clock, the values grey; the port stays
    // open for the ECU to answer again, and the fitter may disconnect.
    h.ecu.setSilent(true);
    ASSERT_TRUE(h.runner.runUntil([&] { return h.form.EcuSilent; }, 5000));
    const double ageAtSilence = AgeShown(h.form.LinkLamp.caption);
    EXPECT_EQ(h.form.LinkLamp.caption.rfind("COM4 : ECU NOT RESPONDING : ", 0), 0u) << h.form.LinkLamp.caption;
    EXPECT_GE(ageAtSilence, 2.9);
    h.runner.runFor(2000);
    EXPECT_NEAR(AgeShown(h.form.LinkLamp.caption), ageAtSilence + 2.0, 0.05);
    EXPECT_EQ(h.form.LinkLamp.backColour, colours::kRed);
    EXPECT_TRUE(h.form.ButonBağlantıKes.enabled);
    ExpectLiveLooks(h.form, false);

    // The ECU answers again.
    h.ecu.setSilent(false);
    ASSERT_TRUE(h.runner.runUntil([&] { return !h.form.EcuSilent; }, 3000));
    h.runner.runFor(1000);
    EXPECT_EQ(h.form.LinkLamp.caption.rfind("COM4 : CONNECTED : ", 0), 0u) << h.form.LinkLamp.caption;
    EXPECT_LE(AgeShown(h.form.LinkLamp.caption), 0.6);
    ExpectLiveLooks(h.form, true);
    ASSERT_TRUE(h.runner.runUntil([&] { return h.form.SequencerState == 8 && !h.form.SettingsStale; }, 10000));
    EXPECT_FALSE(h.form.ComOpenButon.enabled);

    // The adapter is pulled.
    h.port.unplug();
    h.runner.runFor(1000);
    EXPECT_EQ(h.form.LinkLamp.caption, "DISCONNECTED");
    EXPECT_EQ(h.form.LinkLamp.backColour, colours::kGrey);
    EXPECT_TRUE(h.form.ComOpenButon.enabled);
    EXPECT_FALSE(h.form.ButonBağlantıKes.enabled);
    ExpectLiveLooks(h.form, false);

    // Back in: connected again on the same port.
    h.port.plugBack();
    ASSERT_TRUE(h.connect());
    h.runner.runFor(1000);
    EXPECT_EQ(h.form.LinkLamp.caption.rfind("COM4 : CONNECTED : ", 0), 0u) << h.form.LinkLamp.caption;
    ExpectLiveLooks(h.form, true);
}

TEST(LinkIndicator, AScanThatFindsNothingEndsDisconnectedInEitherLanguage) {
    for (double language : {1.0, 0.0}) {
        test::LinkHarness h('.', language, 0);  // the ECU is on no port
        h.form.ComOpenButon_Click();
        ASSERT_TRUE(h.runner.runUntil([&] { return h.form.SequencerState == 1000; }, 40000));
        h.runner.runFor(500);
        EXPECT_EQ(h.form.LinkLamp.caption, language == 1 ? "DISCONNECTED" : "BAĞLI DEĞİL");
        EXPECT_TRUE(h.form.ComOpenButon.enabled);
        EXPECT_FALSE(h.form.ButonBağlantıKes.enabled);
        ExpectLiveLooks(h.form, false);
    }
}

TEST(LinkIndicator, TheIndicatorSpeaksTheWindowsLanguage) {
    test::LinkHarness h;
    ASSERT_TRUE(h.connect());
    h.runner.runFor(1000);
    h.form.Dilsec.selectedIndex = 0;
    h.form.LanguageIndex = 0;
    h.form.ApplyLanguageIndex();
    EXPECT_EQ(h.form.LinkLamp.caption.rfind("COM4 : BAĞLI : ", 0), 0u) << h.form.LinkLamp.caption;
    EXPECT_EQ(h.form.ButonBağlantıKes.caption, "Bağlantıyı Kes");
    h.ecu.setSilent(true);
    ASSERT_TRUE(h.runner.runUntil([&] { return h.form.EcuSilent; }, 5000));
    EXPECT_EQ(h.form.LinkLamp.caption.rfind("COM4 : ECU YANIT VERMİYOR : ", 0), 0u) << h.form.LinkLamp.caption;
}

// Disconnect at idle: the port closes, nothing more goes out, the curve files
// stay usable, and the connect button finds the ECU again.
TEST(Disconnect, AtIdleClosesThePortParksAndLetsTheFitterConnectAgain) {
    test::LinkHarness h;
    ASSERT_TRUE(h.connect());
    h.runner.runFor(1000);
    h.form.ButonBağlantıKes_Click();
    EXPECT_FALSE(h.port.isOpen());
    EXPECT_FALSE(h.form.LinkUp);
    EXPECT_EQ(h.form.SequencerState, 1000);
    EXPECT_EQ(h.form.KomutSatırı.text, "DISCONNECTED : COM4");
    EXPECT_EQ(h.form.Messages.entries().back().text, "DISCONNECTED : COM4");
    EXPECT_EQ(h.form.LinkLamp.caption, "DISCONNECTED");
    EXPECT_TRUE(h.form.ComOpenButon.enabled);
    EXPECT_FALSE(h.form.ButonBağlantıKes.enabled);
    for (const ButtonControl* b : {&h.form.ButonDisktenOku, &h.form.ButonDiskeYaz, &h.form.ButonEğri,
                                   &h.form.ButonSetup, &h.form.ButonAyar})
        EXPECT_TRUE(b->enabled);
    ExpectLiveLooks(h.form, false);
    const double after = h.runner.nowMs() + 1;
    h.runner.runFor(3000);
    EXPECT_TRUE(h.framesSince(after).empty());
    EXPECT_EQ(h.form.KomutSatırı.text, "DISCONNECTED : COM4");  // no silence reported: nothing is owed

    ASSERT_TRUE(h.connect());
    h.runner.runFor(1000);
    EXPECT_EQ(h.form.LinkLamp.caption.rfind("COM4 : CONNECTED : ", 0), 0u) << h.form.LinkLamp.caption;
    EXPECT_FALSE(h.form.ComOpenButon.enabled);
}

// Disconnect under an exchange asks first: No leaves the exchange running, Yes
// ends it as cut short with its own failure named, and closes the port.
TEST(Disconnect, UnderAnExchangeAsksAndEndsItCutShort) {
    test::LinkHarness h;
    ScriptedQuestions questions;
    h.form.env.questions = &questions;
    ASSERT_TRUE(h.connect());
    questions.answerNext(true);
    h.form.ButonLoadFabricSettings_Click();
    ASSERT_EQ(h.form.FactoryLoadResult, Form1Korvane::ExchangeOutcome::Running);
    h.runner.runFor(3000);

    questions.answerNext(false);
    h.form.ButonBağlantıKes_Click();
    ASSERT_EQ(questions.asked().size(), 2u);
    EXPECT_EQ(questions.asked()[1].text,
              "The exchange under way will be cut short. Disconnect?\n\nUnder way: the factory settings load");
    EXPECT_TRUE(h.port.isOpen());
    EXPECT_EQ(h.form.FactoryLoadResult, Form1Korvane::ExchangeOutcome::Running);
    const double step = h.form.SequencerState;
    h.runner.runFor(500);
    EXPECT_EQ(h.form.SequencerState, step + 1);  // still writing

    questions.answerNext(true);
    h.form.ButonBağlantıKes_Click();
    EXPECT_FALSE(h.port.isOpen());
    EXPECT_EQ(h.form.FactoryLoadResult, Form1Korvane::ExchangeOutcome::CutShort);
    EXPECT_EQ(h.form.KomutSatırı.text, "DISCONNECTED, FACTORY SETTINGS LOAD DID NOT COMPLETE ! COM4");
    EXPECT_EQ(h.form.SequencerState, 1000);
    EXPECT_FALSE(h.form.ProgressBar9.visible);
    EXPECT_TRUE(h.form.SettingsSettingsPic.visible);
    EXPECT_TRUE(h.form.ButonLoadFabricSettings.enabled);
    EXPECT_TRUE(h.form.ComOpenButon.enabled);
    const double after = h.runner.nowMs() + 1;
    h.runner.runFor(3000);
    EXPECT_TRUE(h.framesSince(after).empty());
}

// The question names the exchange; when the exchange ends while it is open, it
// goes away as a No: there is nothing left to cut short, the link stays.
TEST(Disconnect, TheQuestionGoesAwayWhenItsExchangeEndsFirst) {
    test::LinkHarness h;
    ScriptedQuestions questions;
    h.form.env.questions = &questions;
    h.form.LanguageIndex = 0;
    ASSERT_TRUE(h.connect());
    h.form.ButonGenel_Click();
    ASSERT_TRUE(h.form.EcuSequenceRunning());
    questions.answerNext(true);  // the fitter would say Yes, too late
    questions.whileAsked = [&] { h.runner.runUntil([&] { return !h.form.EcuSequenceRunning(); }, 20000); };
    h.form.ButonBağlantıKes_Click();
    ASSERT_EQ(questions.asked().size(), 1u);
    EXPECT_EQ(questions.asked()[0].text,
              "Süren işlem yarıda kalacak. Bağlantı kesilsin mi?\n\nSüren işlem: ayarların okunması");
    EXPECT_TRUE(h.port.isOpen());
    EXPECT_TRUE(h.form.LinkUp);
    EXPECT_EQ(h.form.SettingsReadResult, Form1Korvane::ExchangeOutcome::Done);
}

// A scan under way stops at once, without a question: nothing is on the line.
TEST(Disconnect, StopsAScanWithoutAsking) {
    test::LinkHarness h('.', 1, 9);
    ScriptedQuestions questions;
    h.form.env.questions = &questions;
    h.form.ComOpenButon_Click();
    ASSERT_TRUE(h.runner.runUntil([&] { return h.form.ScanPosition >= 3; }, 10000));
    h.form.ButonBağlantıKes_Click();
    EXPECT_TRUE(questions.asked().empty());
    EXPECT_EQ(h.form.SequencerState, 1000);
    EXPECT_FALSE(h.port.isOpen());
    EXPECT_TRUE(h.form.ComOpenButon.enabled);
    EXPECT_TRUE(h.form.ButonEcuOku.enabled);
    EXPECT_EQ(h.form.LinkLamp.caption, "DISCONNECTED");
}

}  // namespace
}  // namespace gasecu
