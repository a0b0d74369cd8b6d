// Finding the ECU: the connect button tries COM1 to COM15 in turn, sending a live
// data request on each and taking the first port that answers with a whole 13-byte
// reply. Each port costs two ticks (probe, check), so the ECU has one tick to answer.
// The port where the ECU answered last time is tried first (link/remembered_port).
#include <string>

#include "app/form1korvane.h"
#include "link/command_frames.h"
#include "link/sequencer_families.h"

namespace gasecu {

namespace {
constexpr int kLastPort = 15;
}

void Form1Korvane::SetWorkAreaEnabled(bool enabled) {
    for (PictureBoxControl* p : {&KalibrasyonPic, &EğriKağıdıPic, &SettingsSettingsPic}) p->enabled = enabled;
    for (ButtonControl* b :
         {&ButonDisktenOku, &ButonDiskeYaz, &ButonEcuOku, &ButonEcuYaz, &ButonEğri, &ButonSetup, &ButonAyar})
        b->enabled = enabled;
}

void Form1Korvane::ComOpenButon_Click() {
    if (RefusedWhileEcuBusy()) return;
    // Over a link still up (the button is locked then, but a service command may
    // press it) the port is closed cleanly before the scan looks again.
    if (LinkUp) CloseLink();
    Dilsec.enabled = false;
    ScanPort = 0;
    PrepareScanOrder();
    SetWorkAreaEnabled(false);
    SequencerState = 9;
    ComOpenButon.enabled = false;
}

namespace link {

void RunDiscoveryStep(Form1Korvane& f, int step) {
    SerialPort* port = f.Iletisim;
    const std::string portText = std::to_string(f.ScanPort);
    switch (step) {
    case 9: {  // probe the next port; a missing or busy port simply stays silent
        if (port && port->isOpen()) port->close();
        ++f.ScanPosition;
        const bool portsLeft = f.ScanPosition >= 1 && f.ScanPosition <= kLastPort;
        f.ScanPort = portsLeft ? f.ScanOrder[static_cast<std::size_t>(f.ScanPosition - 1)]
                               : static_cast<std::int16_t>(kLastPort + 1);
        if (portsLeft) {
            // A port that refuses its number (still open after a failed close) is
            // not probed: the frame would go out on the previous port.
            bool numbered = port && port->setPortNumber(f.ScanPort);
            if (numbered && !port->isOpen() && port->open()) f.LinkDeviceName = port->deviceName(f.ScanPort);
            // Only an answer to this probe may count: a live reply left from an
            // earlier link, or a late one from the previous port, must not make this
            // port look like the ECU.
            f.ReplyText.clear();
            f.ReplyLength = 0;
            if (numbered) f.SendFrame(f.LiveDataRequest);
            f.SequencerState = 11;
        } else {
            f.SequencerState = 10;
        }
        break;
    }
    case 11:  // check the probe's answer
        f.ShowMessage("PORTA BAĞLANMAYA CALIŞIYOR : COM" + portText, "TRIYING TO CONNECT : COM" + portText);
        f.SequencerState = f.ReplyLength == 13 ? 12 : 9;
        break;
    case 12:  // found: the port stays open, the settings pages come next
        // "Connected" is said when the indicator says it, once the pages are read.
        if (f.RememberFoundPort()) {
            f.ShowMessage("ECU BULUNDU : COM" + portText, "ECU FOUND : COM" + portText);
            f.ConnectedMessage = Form1Korvane::ExchangeFailure{"BAĞLANDI : COM" + portText, "CONNECTED : COM" + portText};
        } else {  // linked all the same; the next start scans in the usual order. The
                  // port comes last: a status line too narrow for the text shows its end.
            f.ShowMessage("PORT KAYDEDİLEMEDİ ! ECU BULUNDU : COM" + portText,
                          "PORT NOT REMEMBERED ! ECU FOUND : COM" + portText);
            f.ConnectedMessage = Form1Korvane::ExchangeFailure{"PORT KAYDEDİLEMEDİ ! BAĞLANDI : COM" + portText,
                                                               "PORT NOT REMEMBERED ! CONNECTED : COM" + portText};
        }
        f.SequencerState = 1;
        break;
    case 10:  // nothing answered on any port
        f.ShowMessage("HERHANGİ BİR İLETİŞİM PORTUNA BAĞLANILAMADI .... !  COM1 - COM15",
                      "NO CONNECTION TO ANY PORT .... !  COM1 - COM15");
        f.SetWorkAreaEnabled(true);
        f.ComOpenButon.enabled = true;
        // The language list stays disabled; a new press of the connect button
        // starts the scan over.
        f.SequencerState = 1000;
        break;
    default:
        break;
    }
}

// Steps 1 to 7 read the six settings pages (1, 8, 2, 3, 4, 5) after the connect
// and after every settings change; the receive handler fills the boxes one tick
// later. The link flag is not tested here: it is set at the end of this very run.
void RunLinkStartupStep(Form1Korvane& f, int step) {
    const bool portReady = f.Timer1.enabled() && f.Iletisim && f.Iletisim->isOpen();
    if (step == 1) f.StartSettingsRead();
    if (step <= 6 && f.SettingsReadAnnounced) {
        const std::string page = std::to_string(step) + "/6";
        f.ShowMessage("AYARLAR OKUNUYOR " + page, "READING THE SETTINGS " + page);
    }
    if (step <= 6) {
        if (portReady) f.SendFrame(f.PageRequestFrames[static_cast<std::size_t>(step)]);
        f.SequencerState = step + 1;
        return;
    }
    if (portReady) f.SendFrame(f.LiveDataRequest);
    // A page that did not come whole is asked for again, a few times; what still
    // has not come is shown as not read, never as the value from before.
    if (!f.FinishSettingsRead()) {
        f.SequencerState = 1;
        return;
    }
    f.ButonEcuOku.backColour = colours::kWhite;
    f.ButonEcuYaz.backColour = colours::kWhite;
    f.ComOpenButon.enabled = false;
    f.LinkUp = true;
    // Every page has been asked for again: the boxes show what the ECU holds.
    f.SettingsStale = false;
    f.SequencerState = 8;
    f.NoteSettingsRead();
}

// Idle: poll the live data every tick for as long as nothing else is asked for.
void RunIdleStep(Form1Korvane& f, int) {
    f.RestoreIdleButtons();
    // The ECU answers again after a silence: what the settings screen shows is
    // read afresh before it counts as current (the entries stay locked until then).
    if (f.SettingsStale && f.LinkGuard() && !f.EcuSilent && !f.CalibrationRunning) {
        f.ProgressBar12.visible = true;
        f.SequencerState = 1;
        RunLinkStartupStep(f, 1);
        return;
    }
    if (f.LinkGuard()) f.SendFrame(f.LiveDataRequest);
}

}  // namespace link
}  // namespace gasecu
