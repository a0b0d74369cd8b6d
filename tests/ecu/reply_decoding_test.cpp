// The reply formats and the receive handler's step table.
#include <gtest/gtest.h>

#include "ecu/pressure_table.h"
#include "ecu/reply_decoding.h"
#include "support/link_harness.h"

namespace gasecu {
namespace {

using test::Reply13;

TEST(ReplyDecoding, PressureTableIsTheSensorCurve) {
    ASSERT_EQ(ecu::PressureTable.size(), 227u);
    for (std::size_t i = 1; i < ecu::PressureTable.size(); ++i)
        EXPECT_GE(ecu::PressureTable[i], ecu::PressureTable[i - 1]) << "raw " << i;
    EXPECT_DOUBLE_EQ(ecu::GasPressureFromByte(0), 0.16);
    EXPECT_DOUBLE_EQ(ecu::GasPressureFromByte(128), 1.00);
    EXPECT_DOUBLE_EQ(ecu::GasPressureFromByte(133), 1.04);  // the curve's steps are not even
    EXPECT_DOUBLE_EQ(ecu::GasPressureFromByte(225), 1.63);
    for (int raw = 226; raw <= 255; ++raw) EXPECT_DOUBLE_EQ(ecu::GasPressureFromByte(raw), 1.64) << raw;
}

TEST(ReplyDecoding, EngineSpeedTemperaturesAndInjectionTimes) {
    // A period of 0 means no ignition signal: taken as 1500, i.e. 10000 rpm x factor.
    EXPECT_DOUBLE_EQ(ecu::EngineSpeedFromPeriod(0, 1), 10000);
    EXPECT_DOUBLE_EQ(ecu::EngineSpeedFromPeriod(0, 0.5), 5000);
    // Before page 1 was read the factor is 0 and so is the speed.
    EXPECT_DOUBLE_EQ(ecu::EngineSpeedFromPeriod(1500, 0), 0);
    EXPECT_DOUBLE_EQ(ecu::EngineSpeedFromPeriod(10000, 2), 3000);

    EXPECT_NEAR(ecu::TemperatureFromByte(0), 104.192, 1e-9);
    EXPECT_NEAR(ecu::TemperatureFromByte(255), 0.407, 1e-9);

    // Low byte first in both injection times; the high byte counts 256.
    ecu::LiveData d = ecu::DecodeLiveData(Reply13({{3, 0x10}, {4, 0x27}, {5, 0x48}, {6, 0x26}, {7, 0xDC}, {8, 0x05}}), 1);
    EXPECT_EQ(d.petrolRaw, 10000);
    EXPECT_DOUBLE_EQ(d.petrolTime, 40);
    EXPECT_EQ(d.gasRaw, 9800);
    EXPECT_NEAR(d.gasTime, 40.1376, 1e-4);
    EXPECT_DOUBLE_EQ(d.engineSpeed, 10000);  // period 1500
}

TEST(ReplyDecoding, AdvanceTimeAndListEntry) {
    EXPECT_DOUBLE_EQ(ecu::AdvanceTimeFromBytes(62, 0), 0.25);  // 0.248 rounded
    EXPECT_EQ(ecu::AdvanceEntryFor(0.25), 1);
    EXPECT_EQ(ecu::AdvanceEntryFor(ecu::AdvanceTimeFromBytes(50, 0)), 0);
    EXPECT_EQ(ecu::AdvanceEntryFor(ecu::AdvanceTimeFromBytes(56, 1)), 5);   // 312: 1.25 ms
    EXPECT_EQ(ecu::AdvanceEntryFor(ecu::AdvanceTimeFromBytes(238, 2)), 12); // 750: 3.00 ms
    // A high byte other than 1 or 2 is added as it is.
    EXPECT_DOUBLE_EQ(ecu::AdvanceTimeFromBytes(100, 3), 0.41);
    EXPECT_EQ(ecu::AdvanceEntryFor(0.41), -1);
    EXPECT_EQ(ecu::AdvanceEntryFor(0), -1);
}

TEST(ReplyDecoding, RpmFactorOnlyForCoilCountsOneToTwelve) {
    EXPECT_EQ(ecu::RpmFactorForCoilText("1"), 0.5);
    EXPECT_EQ(ecu::RpmFactorForCoilText("2"), 1);
    EXPECT_EQ(ecu::RpmFactorForCoilText("3"), 1);
    EXPECT_EQ(ecu::RpmFactorForCoilText("4"), 2);
    EXPECT_EQ(ecu::RpmFactorForCoilText("12"), 2);
    for (const char* text : {"0", "13", "04", "2.5", "", " 2"}) EXPECT_FALSE(ecu::RpmFactorForCoilText(text)) << text;
}

// The handler on a started window: bytes arrive on the open port at the current
// step, with no tick in between.
struct ReceiveHandler : ::testing::Test {
    test::ScriptedLink h;
    void SetUp() override { h.port.open(); }
    void receive(const Bytes& bytes, double step) {
        h.form.SequencerState = step;
        // As if the step before had sent its request: one reply is awaited.
        h.form.AwaitedReplyLength = step == 16 ? 20 : 13;
        h.form.RequestAnswered = false;
        h.port.receiveNow(bytes);
    }
};

TEST_F(ReceiveHandler, SettingsPagesFillTheirBoxes) {
    receive(Reply13({{2, 2}, {6, 1}}), 2);
    EXPECT_EQ(h.form.Coil.text, "1");
    EXPECT_EQ(h.form.RpmFactor, 0.5);
    EXPECT_EQ(h.form.ProgressBar12.value, 2);
    // Coil 13 is shown as read, marked doubtful, and names no engine-speed factor.
    receive(Reply13({{2, 2}, {6, 13}}), 2);
    EXPECT_EQ(h.form.Coil.text, "13 ?");
    EXPECT_EQ(h.form.RpmFactor, 0.5);

    receive(Reply13({{2, 2}, {6, 85}, {7, 182}}), 6);
    EXPECT_EQ(h.form.SetPTransRPMTextBox.text, "850");
    EXPECT_EQ(h.form.SetPTransRedTempTextBox.text, "30.1");
    EXPECT_EQ(h.form.ProgressBar12.value, 4);

    h.form.avas.selectedIndex = 7;
    receive(Reply13({{2, 2}, {3, 62}, {4, 0}, {9, 70}, {12, 60}}), 7);
    EXPECT_EQ(h.form.SetPXXPressureTextBox.text, "0.70");
    EXPECT_EQ(h.form.SetPXXPressLeakageTextBox.text, "0.60");
    EXPECT_DOUBLE_EQ(h.form.AdvanceTime, 0.25);
    EXPECT_EQ(h.form.msavvv.text, "0.25");
    ASSERT_EQ(h.form.avas.entries.size(), 13u);
    EXPECT_EQ(h.form.avas.entries[0], "0.20 ms");
    EXPECT_EQ(h.form.avas.entries[12], "3.00 ms");
    EXPECT_EQ(h.form.avas.selectedIndex, 1);
    EXPECT_EQ(h.form.ProgressBar12.value, 5);
    // Showing the ECU's advance is not the fitter's choice: nothing is written.
    EXPECT_TRUE(h.runner.sentFrames().empty());

    // An advance between the list's entries leaves the selection alone; a cut
    // page 5 reply is ignored like any other.
    receive(Reply13({{2, 2}, {3, 100}, {4, 3}}), 7);
    EXPECT_EQ(h.form.avas.selectedIndex, 1);
    EXPECT_EQ(h.form.msavvv.text, "0.41");
    Bytes cut = Reply13({{3, 238}, {4, 2}});
    cut.pop_back();
    receive(cut, 7);
    EXPECT_EQ(h.form.msavvv.text, "0.41");
}

TEST_F(ReceiveHandler, FaultPagesAndTheEndOfTheFaultRead) {
    receive(Reply13({{2, 2}, {7, 3}, {8, 0}, {9, 99}, {10, 12}}), 171);
    EXPECT_EQ(h.form.TroublesGasValveRelayTextBox.text, "3");
    EXPECT_EQ(h.form.TroublesInjMainRelayTextBox.text, "0");
    EXPECT_EQ(h.form.TroublesPresslowTextBox.text, "12");
    EXPECT_EQ(h.form.SequencerState, 171);

    Bytes twelve = Reply13({{10, 7}});
    twelve.pop_back();
    receive(twelve, 172);
    EXPECT_EQ(h.form.TroublesCRCErrTextBox.text, "");
    EXPECT_EQ(h.form.SequencerState, 172);  // waits for a proper page 7
    receive(Reply13({{10, 7}}), 172);
    EXPECT_EQ(h.form.TroublesCRCErrTextBox.text, "7");
    EXPECT_EQ(h.form.SequencerState, 8);
}

TEST_F(ReceiveHandler, FuelStatusDrivesTheFuelPictures) {
    receive(Reply13({{2, 1}}), 3);
    EXPECT_TRUE(h.form.ImgGaz.visible);
    EXPECT_FALSE(h.form.ImgBenzin.visible);
    EXPECT_FALSE(h.form.ImgGazGeçiş.visible);
    EXPECT_FALSE(h.form.LPGPic.visible);
    EXPECT_TRUE(h.form.BenzinPic.visible);

    h.form.ProgressBar12.value = 0;
    receive(Reply13({{2, 3}}), 3);
    EXPECT_TRUE(h.form.ImgGazGeçiş.visible);
    EXPECT_FALSE(h.form.ImgGaz.visible);
    EXPECT_TRUE(h.form.BenzinPic.visible);
    EXPECT_EQ(h.form.ProgressBar12.value, 1);

    for (int petrol : {2, 20}) {
        receive(Reply13({{2, 1}}), 3);
        receive(Reply13({{2, petrol}}), 3);
        EXPECT_TRUE(h.form.ImgBenzin.visible) << petrol;
        EXPECT_FALSE(h.form.ImgGaz.visible);
        EXPECT_TRUE(h.form.LPGPic.visible);
        EXPECT_FALSE(h.form.BenzinPic.visible);
    }
    // No meaning: the display stays as it was.
    receive(Reply13({{2, 0}}), 3);
    receive(Reply13({{2, 4}}), 3);
    EXPECT_TRUE(h.form.ImgBenzin.visible);
    EXPECT_TRUE(h.form.LPGPic.visible);

    // Byte 2 of a 20-byte band block is the band's first rise, and a cut reply
    // carries nothing: rises of 1 and 3 neither flip the pictures nor move the
    // settings bar.
    h.form.ProgressBar12.value = 0;
    for (int rise : {1, 3}) {
        Bytes band(20, 7);
        band[1] = static_cast<std::uint8_t>(rise);
        receive(band, 16);
        receive(Bytes{1, static_cast<std::uint8_t>(rise), 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 10}, 8);
        EXPECT_TRUE(h.form.ImgBenzin.visible) << rise;
        EXPECT_FALSE(h.form.ImgGaz.visible) << rise;
        EXPECT_FALSE(h.form.ImgGazGeçiş.visible) << rise;
        EXPECT_EQ(h.form.ProgressBar12.value, 0) << rise;
    }
}

TEST_F(ReceiveHandler, OnlyAReceivedReplyIsDecoded) {
    h.form.RpmFactor = 1;
    receive(Reply13({{2, 2}, {9, 0}}), 8);
    EXPECT_EQ(h.form.TextBasinc.text, "0.16");
    // A line-state or line-error event is no reply: at the fault step it does not
    // end the fault read with the live bytes, and during a calibration it does not
    // hand the old sample on as a new one.
    h.form.SequencerState = 172;
    h.form.TroublesCRCErrTextBox.text = "-";
    h.port.raise(3);
    EXPECT_EQ(h.form.SequencerState, 172);
    EXPECT_EQ(h.form.TroublesCRCErrTextBox.text, "-");
    h.form.CalibrationRunning = true;
    h.form.CalibrationNextStep = 312;
    h.form.SequencerState = 8;
    h.port.raise(3);
    EXPECT_EQ(h.form.SequencerState, 8);
}

TEST_F(ReceiveHandler, CalibrationResumesAfterEachLiveSample) {
    h.form.CalibrationRunning = true;
    h.form.CalibrationNextStep = 312;
    receive(Reply13({{2, 2}}), 8);
    EXPECT_EQ(h.form.SequencerState, 312);
    // A live reply of the wrong length is no sample.
    Bytes cut = Reply13({});
    cut.push_back(0);
    receive(cut, 8);
    EXPECT_EQ(h.form.SequencerState, 8);
}

}  // namespace
}  // namespace gasecu
