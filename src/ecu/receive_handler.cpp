// The receive handler of the port Iletisim. Replies name nothing: the step the
// sequencer is at says what the last request was. The sequencer sends at step k and
// moves to k + 1 in the same tick, so the answer to step k's request is decoded at
// k + 1 (the idle poll sends at 8 and stays there, so live replies decode at 8).
#include "app/form1korvane.h"
#include "ecu/reply_decoding.h"

namespace gasecu {

void Form1Korvane::Iletisim_OnComm(int kind) {
    // Only received bytes are a reply. Another event kind (line state, line error)
    // must not decode the last reply again: at the calibration's live step that
    // would take an old sample for a new one.
    if (kind != kPortEventReceive) return;
    Bytes received = Iletisim ? Iletisim->readAll() : Bytes{};
    if (received.empty()) return;
    // Whatever came, the line is not silent: a noisy line that spoils some replies
    // must not end a factory load half way as if the ECU had gone.
    NoteLineActivity();
    // At most one reply per request. Bytes no request waits for (a reply the line
    // brought twice, one that came after the next frame went out, noise from a
    // loose connector) are dropped unread: decoded by the current step they would
    // pass for a settings page, a live sample or a fault record.
    if (AwaitedReplyLength == 0) {
        LastDroppedReply = RequestAnswered ? DroppedReply::Second : DroppedReply::Unasked;
        ++DroppedReplyCount;
        return;
    }
    const std::size_t expected = AwaitedReplyLength;
    AwaitedReplyLength = 0;
    RequestAnswered = true;
    ReplyText = std::move(received);
    ReplyLength = static_cast<double>(ReplyText.size());
    // Only the length the request is answered with counts: a 13-byte piece of a
    // 20-byte band block, a reply with noise in front or two replies run together
    // are no reply (the steps that wait for one ask again).
    if (ReplyText.size() != expected) return;
    NoteWholeReply();
    // Only the 13-byte replies carry the fuel status in byte 2; in a 20-byte band
    // block byte 2 is the band's first rise.
    if (expected != ecu::kReplyLength) return;
    const int fuelStatus = ecu::ReplyByte(ReplyText, 2);
    ShowFuelStatus(fuelStatus);
    if (fuelStatus == 3) ProgressBar12.value = 1;

    const Bytes& r = ReplyText;
    const double step = SequencerState;
    if (step == 2) {
        // Page 1: the coil count. A count no coil choice has (outside 1..12) is
        // shown marked as doubtful and never sets the engine-speed factor: a line
        // fault or a foreign device, not a car.
        ProgressBar12.value = 2;
        const int coils = ecu::ReplyByte(r, 6);
        CoilCountDoubtful = !ecu::CoilCountFromText(std::to_string(coils));
        Coil.text = std::to_string(coils) + (CoilCountDoubtful ? " ?" : "");
        if (auto factor = ecu::RpmFactorForCoilText(Coil.text)) RpmFactor = *factor;
        SettingsPagesRead |= 1U;
    } else if (step == 6) {
        // Page 4: the petrol-to-gas transition speed and reducer temperature.
        ProgressBar12.value = 3;
        SetPTransRPMTextBox.text = FormatNumber(ecu::ReplyByte(r, 6) * 10.0, 0);
        SetPTransRedTempTextBox.text = FormatNumber(ecu::TemperatureFromByte(ecu::ReplyByte(r, 7)), 1);
        ProgressBar12.value = 4;
        SettingsPagesRead |= 2U;
    } else if (step == 7) {
        // Page 5: the change back to petrol and the injection advance.
        SetPXXPressureTextBox.text = FormatNumber(ecu::ReplyByte(r, 9) / 100.0, 2);
        SetPXXPressLeakageTextBox.text = FormatNumber(ecu::ReplyByte(r, 12) / 100.0, 2);
        AdvanceTime = ecu::AdvanceTimeFromBytes(ecu::ReplyByte(r, 3), ecu::ReplyByte(r, 4));
        msavvv.text = FormatNumber(AdvanceTime, 2);
        // Showing the ECU's value is not the fitter's choice: only the selection
        // changes, nothing is written back.
        if (int entry = ecu::AdvanceEntryFor(AdvanceTime); entry >= 0) avas.selectedIndex = entry;
        ProgressBar12.value = 5;
        SettingsPagesRead |= 4U;
    } else if (step == 8) {
        ecu::LiveData d = ecu::DecodeLiveData(r, RpmFactor);
        EngineSpeed = d.engineSpeed;
        GasPressure = d.gasPressure;
        ReducerTemperature = d.reducerTemperature;
        GasTemperature = d.gasTemperature;
        PetrolTime = d.petrolTime;
        GasTime = d.gasTime;
        ShowLiveValues(d.petrolRaw, d.gasRaw);
        ReenableAfterLiveReply();
        ++LiveSampleCount;
        NoteLiveSample();
        // A calibration run waits for each live sample before its next step.
        if (CalibrationRunning) SequencerState = CalibrationNextStep;
    } else if (step == 171) {
        // Fault page 6: gas valve relay, injector main relay, low pressure.
        TroublesGasValveRelayTextBox.text = std::to_string(ecu::ReplyByte(r, 7));
        TroublesInjMainRelayTextBox.text = std::to_string(ecu::ReplyByte(r, 8));
        TroublesPresslowTextBox.text = std::to_string(ecu::ReplyByte(r, 10));
    } else if (step == 172) {
        // Fault page 7: communication errors; the fault read is over.
        TroublesCRCErrTextBox.text = std::to_string(ecu::ReplyByte(r, 10));
        SequencerState = 8;
        CheckFaultsAfterClear();
    }
    // A settings write is checked against the page that carries it back.
    if (step >= 2 && step <= 7) {
        NoteEcuSettings(r, step);  // the value to put back should a later write not complete
        CheckSettingReadBack(r, step);
    }
    // Steps 3 to 5 (pages 8, 2, 3) carry nothing the tool shows. The port probe and
    // the curve blocks are read by the sequencer at its next tick.
}

}  // namespace gasecu
