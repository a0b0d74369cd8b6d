// The adapter was pulled (or the device vanished) under the open port. The link
// cannot come back by itself: the tool parks the step machine, gives back every
// control a running exchange had locked and lets the fitter connect again once the
// adapter is back in.
#include <string>

#include "app/form1korvane.h"

namespace gasecu {

namespace {
constexpr double kScanProbeStep = 9;
constexpr double kScanGivenUpStep = 10;
constexpr double kScanFoundStep = 12;
}  // namespace

void Form1Korvane::Iletisim_DeviceLost() {
    // While the scan is still looking, a port that opens but then fails (a
    // Bluetooth serial port without its partner, a modem) is just not the ECU:
    // the scan goes on with the next number, as it does past a port that will not
    // open. The port has closed itself already.
    if (!LinkUp && SequencerState >= kScanProbeStep && SequencerState <= kScanFoundStep) {
        ReplyText.clear();
        ReplyLength = 0;
        if (SequencerState != kScanGivenUpStep) SequencerState = kScanProbeStep;
        return;
    }

    const std::string device = LinkDeviceName.empty() && Iletisim ? Iletisim->deviceName(Iletisim->portNumber())
                                                                  : LinkDeviceName;
    // Whatever exchange was running ends where it stood, through the same path a
    // silent ECU takes: a curve write cut short leaves the ECU with part of the
    // new curve, a setting may not have been taken, a calibration run stops as
    // with its stop button. The fitter must know which did not complete.
    const ExchangeFailure failure = AbortRunningExchange();
    if (failure.turkish.empty())
        ShowMessage("BAĞLANTI KOPTU ! " + device, "CONNECTION LOST ! " + device);
    else
        ShowMessage("BAĞLANTI KOPTU, " + failure.turkish + " ! " + device,
                    "CONNECTION LOST, " + failure.english + " ! " + device);

    // Parked like a failed scan: ticks do nothing until the connect button. The
    // link guard now fails, so no button starts an exchange on the dead port.
    SequencerState = 1000;
    LinkUp = false;
    ScanPort = 0;
    if (Iletisim && Iletisim->isOpen()) Iletisim->close();
    // The next scan must see only its own probes' answers.
    ReplyText.clear();
    ReplyLength = 0;
    // No link, no lamp: the next connect starts afresh, and reads every page.
    EcuSilent = false;
    TicksWithoutReply = 0;
    ShowLinkLamp(LinkLampState::Off);
    ComOpenButon.enabled = true;

    // A recording ends with the link: its file takes its final name now, and the
    // fitter learns where it is after the news of the lost link.
    if (LiveLog) {
        const std::string lost = KomutSatırı.text;
        const LiveLogOutcome log = FinishLiveLog();
        ShowMessage(lost + "  " + log.turkish, lost + "  " + log.english);
    }
}

}  // namespace gasecu
