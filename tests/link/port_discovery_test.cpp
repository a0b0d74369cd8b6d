// Finding the ECU, the link start-up, the idle poll, a lost adapter and the exit,
// against the virtual controller on the virtual-time runner.
#include <gtest/gtest.h>

#include <cmath>
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

std::vector<std::pair<double, Bytes>> TimedFrames(const std::vector<sim::SentFrame>& frames) {
    std::vector<std::pair<double, Bytes>> out;
    for (const auto& f : frames) out.emplace_back(f.timeMs, f.bytes);
    return out;
}

// The controls a scan disables and a failed scan gives back.
std::vector<const Control*> ScanLockedControls(const Form1Korvane& f) {
    return {&f.KalibrasyonPic, &f.EğriKağıdıPic, &f.SettingsSettingsPic, &f.ButonDisktenOku, &f.ButonDiskeYaz,
            &f.ButonEcuOku,    &f.ButonEcuYaz,   &f.ButonEğri,           &f.ButonSetup,      &f.ButonAyar,
            &f.ComOpenButon};
}

TEST(PortDiscovery, FindsTheEcuOnCom4AndReadsTheSettingsPages) {
    test::LinkHarness h;
    h.port.setMissingPorts({2});  // a port the PC does not have costs its two ticks too
    h.ecu.setSetting(31, 4);      // four coils
    h.ecu.memory().setSettingWord(55, 312);  // advance 1.25 ms
    h.ecu.setEngineSpeed(2500);
    h.form.ComOpenButon_Click();
    for (const Control* c : ScanLockedControls(h.form)) EXPECT_FALSE(c->enabled);
    EXPECT_FALSE(h.form.Dilsec.enabled);

    auto messages = MessagesPerTick(h, 9);
    // Probes at 500, 1500, 2500, 3500; the check a tick later names the port, so the
    // trying messages come one second apart.
    EXPECT_EQ(messages[1], std::make_pair(1000.0, std::string("TRIYING TO CONNECT : COM1")));
    EXPECT_EQ(messages[3], std::make_pair(2000.0, std::string("TRIYING TO CONNECT : COM2")));
    EXPECT_EQ(messages[5], std::make_pair(3000.0, std::string("TRIYING TO CONNECT : COM3")));
    EXPECT_EQ(messages[7], std::make_pair(4000.0, std::string("TRIYING TO CONNECT : COM4")));
    EXPECT_EQ(messages[8], std::make_pair(4500.0, std::string("ECU FOUND : COM4")));
    EXPECT_FALSE(h.form.LinkUp);
    EXPECT_EQ(h.form.CurrentLinkState(), Form1Korvane::LinkState::Searching);

    // LinkUp seven ticks (3.5 s) after the ECU answered; "connected" is said in
    // that same tick, when the indicator says it too, never before.
    for (int tick = 0; tick < 7 && !h.form.LinkUp; ++tick) {
        EXPECT_EQ(h.form.KomutSatırı.text.find("CONNECTED"), std::string::npos) << tick;
        h.runner.runFor(500);
    }
    EXPECT_TRUE(h.form.LinkUp);
    EXPECT_EQ(h.form.KomutSatırı.text, "CONNECTED : COM4");
    EXPECT_EQ(h.form.CurrentLinkState(), Form1Korvane::LinkState::Connected);
    EXPECT_EQ(h.runner.nowMs(), 4500 + 3500);
    EXPECT_EQ(h.form.SequencerState, 8);
    EXPECT_EQ(h.port.portNumber(), 4);
    EXPECT_TRUE(h.port.isOpen());
    EXPECT_FALSE(h.form.ComOpenButon.enabled);  // stays disabled once connected
    EXPECT_EQ(h.form.ButonEcuOku.backColour, colours::kWhite);

    // Then the live poll every 500 ms.
    h.runner.runFor(1500);
    // Probes on COM1, COM3 and COM4 (COM2 would not open), pages 1, 8, 2, 3, 4, 5 one
    // per tick on COM4, then the live poll.
    const Bytes live = frames::kLiveDataRequest;
    std::vector<std::pair<double, Bytes>> expected{
        {500, live},  {2500, live}, {3500, live}, {5000, {109, 5, 1, 66, 10}}, {5500, {109, 5, 8, 66, 10}},
        {6000, {109, 5, 2, 66, 10}}, {6500, {109, 5, 3, 66, 10}}, {7000, {109, 5, 4, 66, 10}},
        {7500, {109, 5, 5, 66, 10}}, {8000, live}, {8500, live}, {9000, live}, {9500, live}};
    EXPECT_EQ(TimedFrames(h.runner.sentFrames()), expected);
    for (const auto& f : h.framesSince(5000)) EXPECT_EQ(f.port, 4);

    // The pages were decoded on the way: the controller's coil count, transition
    // speed and temperature, pressures and advance.
    EXPECT_EQ(h.form.Coil.text, "4");
    EXPECT_EQ(h.form.RpmFactor, 2);
    EXPECT_EQ(h.form.SetPTransRPMTextBox.text, "850");
    EXPECT_EQ(h.form.SetPTransRedTempTextBox.text, "30.1");
    EXPECT_EQ(h.form.SetPXXPressureTextBox.text, "0.70");
    EXPECT_EQ(h.form.SetPXXPressLeakageTextBox.text, "0.60");
    EXPECT_EQ(h.form.avas.selectedIndex, 5);

    // Each live reply decoded; the controls come back, the language list does not.
    EXPECT_NEAR(h.form.EngineSpeed, 2500, 2500 * 0.011);
    EXPECT_NE(h.form.TextMotorDevirHızı.text, "");
    EXPECT_TRUE(h.form.ButonEcuOku.enabled);
    EXPECT_TRUE(h.form.EğriKağıdıPic.enabled);
    EXPECT_FALSE(h.form.Dilsec.enabled);
}

TEST(PortDiscovery, NoEcuAnywhereGivesUpAfter32Ticks) {
    test::LinkHarness h('.', 1, 0);  // no controller on any port
    std::uint64_t ticksBefore = h.runner.timerFirings(1);
    double start = h.runner.nowMs();
    h.form.ComOpenButon_Click();
    const std::string failed = "NO CONNECTION TO ANY PORT .... !  COM1 - COM15";
    ASSERT_TRUE(h.runner.runUntil([&] { return h.form.KomutSatırı.text == failed; }, 20000));
    EXPECT_EQ(h.runner.timerFirings(1) - ticksBefore, 32u);
    EXPECT_EQ(h.runner.nowMs() - start, 16000);
    EXPECT_EQ(h.form.SequencerState, 1000);
    EXPECT_EQ(h.runner.sentFrames().size(), 15u);  // one probe per port
    EXPECT_FALSE(h.port.isOpen());
    for (const Control* c : ScanLockedControls(h.form)) EXPECT_TRUE(c->enabled);
    EXPECT_FALSE(h.form.Dilsec.enabled);
    EXPECT_FALSE(h.form.LinkUp);
    // Parked: nothing more goes out.
    h.runner.runFor(5000);
    EXPECT_EQ(h.runner.sentFrames().size(), 15u);

    // In Turkish, a second press scans all over again: the last check names COM15.
    h.form.LanguageIndex = 0;
    h.form.ComOpenButon_Click();
    h.runner.runFor(15999);
    EXPECT_EQ(h.form.KomutSatırı.text, "PORTA BAĞLANMAYA CALIŞIYOR : COM15");
    EXPECT_FALSE(h.form.ComOpenButon.enabled);
    h.runner.runFor(1);
    EXPECT_EQ(h.form.KomutSatırı.text, "HERHANGİ BİR İLETİŞİM PORTUNA BAĞLANILAMADI .... !  COM1 - COM15");

    // Plugged in on COM1: a new press starts over from COM1 and finds it there.
    h.port.attachPeer(1, &h.ecu);
    EXPECT_TRUE(h.connect());
    EXPECT_EQ(h.port.portNumber(), 1);
    EXPECT_EQ(h.form.KomutSatırı.text, "BAĞLANDI : COM1");
}

TEST(PortDiscovery, OnlyAWhole13ByteAnswerToTheProbeCounts) {
    // 26 bytes in one receive event (two replies at once) and a cut answer are not
    // the ECU. These are exact byte strings, so a scripted peer sends them.
    test::ScriptedLink s;
    s.port.peer = [&](int port, const Bytes&) {
        Bytes r = Reply13({});
        if (port == 1) r.pop_back();
        if (port == 2) r.insert(r.end(), r.begin(), r.end());
        if (port == 3) r.clear();
        return port <= 3 ? r : Bytes{};
    };
    s.form.ComOpenButon_Click();
    s.runner.runFor(3000);
    EXPECT_EQ(s.form.KomutSatırı.text, "TRIYING TO CONNECT : COM3");
    EXPECT_EQ(s.form.ReplyLength, 0);  // the 26 bytes of COM2 do not outlive its check
    EXPECT_NE(s.form.SequencerState, 12);
    EXPECT_NE(s.form.SequencerState, 1);

    // A controller that answers too late for its own check is never counted, and
    // its late answer (after the check, before the next probe) does not make the
    // next port look like the ECU.
    test::LinkHarness late('.', 1, 3);
    late.ecu.queueFault({sim::ReplyFault::Late, 600});
    late.form.ComOpenButon_Click();
    late.runner.runFor(16000);
    EXPECT_EQ(late.port.receiveEvents(), 1u);  // the late answer did arrive
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

    h.port.unplug();
    // The read it cut short is named, as the silent ECU names it.
    EXPECT_EQ(h.form.KomutSatırı.text, "CONNECTION LOST, CURVE READ DID NOT COMPLETE ! COM4");
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

    // Plugged back in, now behind COM2: the new scan starts on COM4, where the ECU
    // was, does not take it for the ECU on the strength of the last live reply, and
    // finds it on COM2.
    h.port.plugBack();
    h.port.attachPeer(4, nullptr);
    h.port.attachPeer(2, &h.ecu);
    double start = h.runner.nowMs();
    ASSERT_TRUE(h.connect());
    EXPECT_EQ(h.port.portNumber(), 2);
    const auto probes = h.framesSince(start);
    ASSERT_GE(probes.size(), 3u);
    EXPECT_EQ(probes[0].port, 4);
    EXPECT_EQ(probes[1].port, 1);
    EXPECT_EQ(probes[2].port, 2);
    h.runner.runFor(1100);  // stop after a live reply, not just after its request
    EXPECT_NEAR(h.form.EngineSpeed, h.ecu.engineSpeed(), 1);
}

// A port that opens and then fails (a Bluetooth serial port with no partner) is
// skipped like a silent one: the scan goes on and finds the ECU further up. The
// loss of the ECU's own adapter later names the device that was opened, even when
// the list of devices has changed by the time the loss is reported.
TEST(PortDiscovery, AFailingPortIsSkippedAndALossNamesTheOpenedDevice) {
    test::ScriptedLink s;
    s.port.deviceNames[5] = "/dev/ttyUSB0";
    s.port.peer = [&](int port, const Bytes&) {
        if (port == 2 || port == 3)
            s.runner.schedule(5, [&s] { s.port.pull(); });  // fails right after the probe
        return port == 5 ? Reply13({{2, 2}}) : Bytes{};
    };
    s.form.ComOpenButon_Click();
    ASSERT_TRUE(s.runner.runUntil([&] { return s.form.LinkUp && s.form.SequencerState == 8; }, 20000))
        << s.form.KomutSatırı.text << " at step " << s.form.SequencerState;
    EXPECT_EQ(s.port.portNumber(), 5);
    EXPECT_FALSE(s.form.ComOpenButon.enabled);

    s.port.deviceNames[5] = "/dev/ttyS0";  // the pulled adapter left the list
    s.port.pull();
    EXPECT_EQ(s.form.KomutSatırı.text, "CONNECTION LOST ! /dev/ttyUSB0");
    EXPECT_EQ(s.form.SequencerState, 1000);
    EXPECT_TRUE(s.form.ComOpenButon.enabled);
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
