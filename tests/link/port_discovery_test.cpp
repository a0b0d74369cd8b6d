// Finding the ECU, the link start-up, the idle poll, a lost adapter and the exit.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "link/command_frames.h"
#include "support/link_harness.h"

namespace gasecu {
namespace {

using test::Reply13;

// The status line after each sequencer tick, with the tick's time.
std::vector<std::pair<double, std::string>> MessagesPerTick(test::LinkHarness& h, int ticks) {
    std::vector<std::pair<double, std::string>> out;
    for (int i = 0; i < ticks; ++i) {
        h.runner.runFor(500);
        out.emplace_back(h.runner.nowMs(), h.form.KomutSatırı.text);
    }
    return out;
}

TEST(PortDiscovery, FindsTheEcuOnCom4AndReadsTheSettingsPages) {
    test::LinkHarness h;
    h.port.missingPorts = {2};  // a port that cannot be opened costs its two ticks too
    h.form.ComOpenButon_Click();
    EXPECT_FALSE(h.form.ComOpenButon.enabled);
    EXPECT_FALSE(h.form.Dilsec.enabled);
    EXPECT_FALSE(h.form.ButonEcuOku.enabled);
    EXPECT_FALSE(h.form.EğriKağıdıPic.enabled);

    auto messages = MessagesPerTick(h, 9);
    // Probe at 500, 1500, 2500, 3500; the check a tick later names the port.
    EXPECT_EQ(messages[1], std::make_pair(1000.0, std::string("TRIYING TO CONNECT : COM1")));
    EXPECT_EQ(messages[3], std::make_pair(2000.0, std::string("TRIYING TO CONNECT : COM2")));
    EXPECT_EQ(messages[5], std::make_pair(3000.0, std::string("TRIYING TO CONNECT : COM3")));
    EXPECT_EQ(messages[7], std::make_pair(4000.0, std::string("TRIYING TO CONNECT : COM4")));
    EXPECT_EQ(messages[8], std::make_pair(4500.0, std::string("CONNECTED : COM4")));
    EXPECT_FALSE(h.form.LinkUp);

    // LinkUp seven ticks after the connected message.
    EXPECT_TRUE(h.runner.runUntil([&] { return h.form.LinkUp; }, 5000));
    EXPECT_EQ(h.runner.nowMs(), 8000);
    EXPECT_EQ(h.form.SequencerState, 8);
    EXPECT_EQ(h.port.portNumber(), 4);
    EXPECT_TRUE(h.port.isOpen());
    EXPECT_FALSE(h.form.ComOpenButon.enabled);  // stays disabled once connected

    // Probes on COM1, COM3 and COM4 (COM2 would not open), then pages 1, 8, 2, 3, 4, 5
    // one per tick, then the live poll.
    std::vector<std::pair<double, Bytes>> sent;
    for (const auto& f : h.runner.sentFrames()) sent.emplace_back(f.timeMs, f.bytes);
    std::vector<std::pair<double, Bytes>> expected{
        {500, frames::kLiveDataRequest},  {2500, frames::kLiveDataRequest}, {3500, frames::kLiveDataRequest},
        {5000, {109, 5, 1, 66, 10}},      {5500, {109, 5, 8, 66, 10}},      {6000, {109, 5, 2, 66, 10}},
        {6500, {109, 5, 3, 66, 10}},      {7000, {109, 5, 4, 66, 10}},      {7500, {109, 5, 5, 66, 10}},
        {8000, frames::kLiveDataRequest}};
    EXPECT_EQ(sent, expected);

    // The pages were decoded on the way: coil 4, 850 rpm, advance 1.25 ms.
    EXPECT_EQ(h.form.Coil.text, "4");
    EXPECT_EQ(h.form.RpmFactor, 2);
    EXPECT_EQ(h.form.SetPTransRPMTextBox.text, "850");
    EXPECT_EQ(h.form.avas.selectedIndex, 5);

    // Idle: one live request per tick, each decoded; the controls come back.
    h.runner.runFor(1000);
    EXPECT_EQ(h.framesSince(8001).size(), 2u);
    EXPECT_EQ(h.form.TextMotorDevirHızı.text, "20000");  // period 1500 x factor 2
    EXPECT_TRUE(h.form.ButonEcuOku.enabled);
    EXPECT_TRUE(h.form.EğriKağıdıPic.enabled);
    EXPECT_FALSE(h.form.Dilsec.enabled);
}

TEST(PortDiscovery, NoEcuAnywhereGivesUpAfter32Ticks) {
    test::LinkHarness h(',', 0);
    h.ecu.portNumber = 0;  // nowhere
    h.form.ComOpenButon_Click();
    h.runner.runFor(15999);
    EXPECT_EQ(h.form.KomutSatırı.text, "PORTA BAĞLANMAYA CALIŞIYOR : COM15");
    EXPECT_FALSE(h.form.ComOpenButon.enabled);
    h.runner.runFor(1);
    EXPECT_EQ(h.form.KomutSatırı.text, "HERHANGİ BİR İLETİŞİM PORTUNA BAĞLANILAMADI .... !  COM1 - COM15");
    EXPECT_EQ(h.form.SequencerState, 1000);
    EXPECT_EQ(h.runner.sentFrames().size(), 15u);
    EXPECT_FALSE(h.port.isOpen());
    for (const ButtonControl* b : {&h.form.ComOpenButon, &h.form.ButonEcuOku, &h.form.ButonEcuYaz, &h.form.ButonEğri,
                                   &h.form.ButonSetup, &h.form.ButonAyar, &h.form.ButonDiskeYaz, &h.form.ButonDisktenOku})
        EXPECT_TRUE(b->enabled);
    EXPECT_TRUE(h.form.SettingsSettingsPic.enabled);
    EXPECT_FALSE(h.form.Dilsec.enabled);
    // Parked: nothing more goes out.
    h.runner.runFor(5000);
    EXPECT_EQ(h.runner.sentFrames().size(), 15u);

    // A new press starts over from COM1.
    h.ecu.portNumber = 1;
    EXPECT_TRUE(h.connect());
    EXPECT_EQ(h.port.portNumber(), 1);
}

TEST(PortDiscovery, OnlyAWhole13ByteAnswerToTheProbeCounts) {
    // 12 or 26 bytes in one receive event are not the ECU.
    test::LinkHarness h;
    h.ecu.portNumber = 0;
    h.port.peer = [&](int port, const Bytes&) {
        Bytes r = Reply13({});
        if (port == 1) r.pop_back();
        if (port == 2) r.insert(r.end(), r.begin(), r.end());
        if (port == 3) r.clear();
        return port <= 3 ? r : Bytes{};
    };
    h.form.ComOpenButon_Click();
    h.runner.runFor(3000);
    EXPECT_EQ(h.form.KomutSatırı.text, "TRIYING TO CONNECT : COM3");
    EXPECT_NE(h.form.SequencerState, 12);
    EXPECT_NE(h.form.SequencerState, 1);

    // An ECU that answers too late for its own check is never counted, and its late
    // answer does not make the next port look like the ECU.
    test::LinkHarness late;
    late.ecu.portNumber = 3;
    late.port.replyDelayMs = 600;  // after the check at +500, before the next probe at +1000
    late.form.ComOpenButon_Click();
    late.runner.runFor(16000);
    EXPECT_EQ(late.form.SequencerState, 1000);
    EXPECT_EQ(late.form.KomutSatırı.text, "NO CONNECTION TO ANY PORT .... !  COM1 - COM15");
}

TEST(PortDiscovery, PulledAdapterLeavesTheToolReadyToReconnect) {
    test::LinkHarness h;
    ASSERT_TRUE(h.connect());
    h.runner.runFor(1000);
    h.form.ButonEcuOku_Click();
    h.runner.runFor(2000);  // a curve read under way
    ASSERT_TRUE(h.form.ButtonsLocked);

    h.port.pull();
    EXPECT_EQ(h.form.KomutSatırı.text, "CONNECTION LOST ! COM4");
    EXPECT_FALSE(h.form.LinkUp);
    EXPECT_EQ(h.form.SequencerState, 1000);
    EXPECT_TRUE(h.form.ComOpenButon.enabled);
    EXPECT_FALSE(h.form.ButtonsLocked);
    EXPECT_TRUE(h.form.ButonEcuOku.enabled);
    EXPECT_TRUE(h.form.EğriKağıdıPic.visible);
    EXPECT_FALSE(h.form.ProgressBar8.visible);
    EXPECT_EQ(h.form.CurveBlockIndex, 2);
    // The buttons that need the ECU now refuse.
    std::size_t before = h.runner.sentFrames().size();
    h.form.ButonEcuOku_Click();
    h.form.LPGPic_Click();
    h.runner.runFor(3000);
    EXPECT_EQ(h.runner.sentFrames().size(), before);

    // Replugged on another port: the new scan does not take COM1 for the ECU on the
    // strength of the last live reply, and finds it on COM2.
    h.ecu.portNumber = 2;
    double start = h.runner.nowMs();
    ASSERT_TRUE(h.connect());
    EXPECT_EQ(h.port.portNumber(), 2);
    EXPECT_EQ(h.framesSince(start).front().port, 1);
    h.runner.runFor(1000);
    EXPECT_EQ(h.form.TextMotorDevirHızı.text, "20000");
}

TEST(PortDiscovery, ExitStopsEverythingAtOnce) {
    test::LinkHarness h;
    ASSERT_TRUE(h.connect());
    h.form.ButonEcuOku_Click();
    h.runner.runFor(1000);
    int exits = 0;
    h.form.onExit = [&] { ++exits; };
    h.form.ExitButon_Click();
    EXPECT_EQ(exits, 1);
    EXPECT_TRUE(h.form.ExitRequested);
    EXPECT_EQ(h.form.SequencerState, 1000);
    EXPECT_FALSE(h.port.isOpen());
    for (const TimerControl* t : {&h.form.Timer1, &h.form.Timer2, &h.form.Timer3, &h.form.Timer4, &h.form.Timer5})
        EXPECT_FALSE(t->enabled());
    std::size_t before = h.runner.sentFrames().size();
    h.runner.runFor(5000);
    EXPECT_EQ(h.runner.sentFrames().size(), before);  // no closing frame
}

}  // namespace
}  // namespace gasecu
