// The adapter was pulled (or the device vanished) under the open port. The link
// cannot come back by itself: the tool parks the step machine, gives back every
// control a running exchange had locked and lets the fitter connect again once the
// adapter is back in.
#include <string>

#include "app/form1korvane.h"
#include "link/curve_write_check.h"

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
    // A curve write cut short leaves the ECU with part of the new curve: the fitter
    // must know it did not complete.
    const bool writing = CurveWriteRunning();
    if (writing) {
        ShowMessage("BAĞLANTI KOPTU, EĞRİ YAZMA TAMAMLANMADI ! " + device,
                    "CONNECTION LOST, CURVE WRITE DID NOT COMPLETE ! " + device);
        CurveWriteResult = CurveWriteOutcome::Incomplete;
    } else {
        ShowMessage("BAĞLANTI KOPTU ! " + device, "CONNECTION LOST ! " + device);
    }

    // Parked like a failed scan: ticks do nothing until the connect button. The
    // link guard now fails, so no button starts an exchange on the dead port.
    SequencerState = 1000;
    LinkUp = false;
    ScanPort = 0;
    if (Iletisim && Iletisim->isOpen()) Iletisim->close();
    // The next scan must see only its own probes' answers.
    ReplyText.clear();
    ReplyLength = 0;

    // Whatever exchange was running is abandoned where it stood. A curve read or
    // write hides the curve paper behind its progress bar; it comes back.
    if (ProgressBar8.visible || writing) EğriKağıdıPic.visible = true;
    CurveWriteChecking = false;
    ProgressBar7.maximum = link::kWriteProgressMaximum;
    ProgressBar11.maximum = link::kWriteProgressMaximum;
    CurveBlockIndex = 2;
    CurveReadDone = false;
    CoilChanged = 0;
    if (CalibrationRunning) {
        CalibrationRunning = false;
        KalibrasyonBaşlatButon.enabled = true;
        KalibrasyonDurdurButon.enabled = false;
    }
    for (ProgressBarControl* bar :
         {&ProgressBar7, &ProgressBar8, &ProgressBar9, &ProgressBar10, &ProgressBar11, &ProgressBar12}) {
        bar->visible = false;
        bar->value = 0;
    }

    // Every control a scan or an exchange disabled is usable again (the same set a
    // failed scan gives back, plus the ones the long sequences lock).
    SetWorkAreaEnabled(true);
    SetSettingsControlsEnabled(true);
    SetupRestored = true;
    ButtonsLocked = false;
    ComOpenButon.enabled = true;
}

}  // namespace gasecu
