// The link indicator beside the connect button and the disconnect button. The
// fitter works under the car and glances at the laptop: the indicator says at
// once which port the tool talks on, whether the ECU answers and how long ago it
// last did, and while the link is down every live value is greyed, so a number
// frozen at the moment the link went is never taken for the engine now.
#include <string>

#include "app/form1korvane.h"
#include "calibration/calibration_steps.h"

namespace gasecu {

namespace {

constexpr double kScanProbeStep = 9;
constexpr double kScanCheckStep = 11;
constexpr double kScanFoundStep = 12;
constexpr double kParkedStep = 1000;

struct StateText {
    const char* turkish;
    const char* english;
};

StateText TextFor(Form1Korvane::LinkState state) {
    switch (state) {
    case Form1Korvane::LinkState::Searching:
        return {"ECU ARANIYOR", "SEARCHING"};
    case Form1Korvane::LinkState::Connected:
        return {"BAĞLI", "CONNECTED"};
    case Form1Korvane::LinkState::NotResponding:
        return {"ECU YANIT VERMİYOR", "ECU NOT RESPONDING"};
    case Form1Korvane::LinkState::Disconnected:
        break;
    }
    return {"BAĞLI DEĞİL", "DISCONNECTED"};
}

}  // namespace

Form1Korvane::LinkState Form1Korvane::CurrentLinkState() const {
    if (LinkGuard()) return EcuSilent ? LinkState::NotResponding : LinkState::Connected;
    const double s = SequencerState;
    // Probing the ports, or reading the settings pages of the port that answered
    // before the link counts as up.
    if (s == kScanProbeStep || s == kScanCheckStep || s == kScanFoundStep) return LinkState::Searching;
    if (s >= 1 && s <= 7 && Iletisim && Iletisim->isOpen() && Timer1.enabled()) return LinkState::Searching;
    return LinkState::Disconnected;
}

void Form1Korvane::ShowLinkIndicator() {
    const LinkState state = CurrentLinkState();
    LinkStateShown = state;
    const StateText text = TextFor(state);
    // The port the link is on, or the one the scan is probing; none once the link
    // is down (the status line named the port that went).
    std::string device;
    if (state == LinkState::Searching && Iletisim && ScanPort >= 1 && ScanPort <= 15)
        device = Iletisim->deviceName(ScanPort);
    else if (state != LinkState::Disconnected)
        device = LinkDeviceName;
    std::string caption = device.empty() ? "" : device + " : ";
    caption += LanguageIndex == 0 ? text.turkish : text.english;
    const bool linked = state == LinkState::Connected || state == LinkState::NotResponding;
    if (linked && LastWholeReplyMs >= 0) {
        const double ageSeconds = (clock().steadyMs() - LastWholeReplyMs) / 1000.0;
        caption += " : " + FormatNumber(ageSeconds < 0 ? 0 : ageSeconds, 1) + " s";
    }
    // Both the Turkish and the English window show it; another language index
    // (none exists) would keep the last caption, as every caption does.
    if (LanguageIndex == 0 || LanguageIndex == 1) LinkLamp.caption = caption;
    LinkLamp.visible = true;
    switch (state) {
    case LinkState::Connected:
        LinkLamp.backColour = colours::kGreen;
        LinkLamp.foreColour = colours::kBlack;
        break;
    case LinkState::NotResponding:
        LinkLamp.backColour = colours::kRed;
        LinkLamp.foreColour = colours::kWhite;
        break;
    case LinkState::Searching:
        LinkLamp.backColour = colours::kYellow;
        LinkLamp.foreColour = colours::kBlack;
        break;
    case LinkState::Disconnected:
        LinkLamp.backColour = colours::kGrey;
        LinkLamp.foreColour = colours::kWhite;
        break;
    }
    ButonBağlantıKes.enabled = state != LinkState::Disconnected;

    // The values on screen stay, greyed: they are the last ones the ECU sent.
    const bool live = state == LinkState::Connected;
    for (TextBoxControl* box : {&TextMotorDevirHızı, &TextBasinc, &TextReduTemperature, &TextGasTemperature,
                                &TextGasMS, &TextBenzinMS})
        box->enabled = live;
    for (LabelControl* label :
         {&LabelDevir, &LabelBar, &LabelRegulator, &LabelEnjektor, &LabelGms, &LabelPms, &Label26, &Label27,
          &Label15, &Label18, &Label19, &Label20, &Label22, &Label23})  // the curve screen's captions
        label->enabled = live;
    // The fuel display and the gas type lamps as well; the gas type buttons stay
    // pressable (the choice needs no ECU), only their colour fades.
    for (ImageControl* picture : {&ImgBenzin, &ImgGaz, &ImgGazGeçiş}) picture->enabled = live;
    Label3.enabled = Label4.enabled = live;
    LPG.dimmed = CNG.dimmed = !live;
    for (std::size_t i = 0; i < 2; ++i) {
        for (auto* labels : {&Label7, &Label8, &Label9, &Label10, &Label11, &Label12}) (*labels)[i].enabled = live;
        for (auto* bars : {&ProgressBar1, &ProgressBar2, &ProgressBar3, &ProgressBar4, &ProgressBar5, &ProgressBar6})
            (*bars)[i].enabled = live;
    }
}

void Form1Korvane::CloseLink() {
    SequencerState = kParkedStep;  // ticks do nothing until the connect button
    LinkUp = false;
    ScanPort = 0;
    ConnectedMessage.reset();
    SilenceCutShort = {};
    // The Qt port hands out what was written before it closes.
    if (Iletisim && Iletisim->isOpen()) Iletisim->close();
    ReplyText.clear();
    ReplyLength = 0;
    AwaitedReplyLength = 0;
    EcuSilent = false;
    EcuRepliesUnusable = false;
    TicksWithoutReply = 0;
    TicksWithoutWholeReply = 0;
    LastWholeReplyMs = -1;
    // The next connect reads every settings page before anything counts as current.
    SettingsStale = true;
    // The curve files and the screens need no ECU.
    SetWorkAreaEnabled(true);
    ComOpenButon.enabled = true;
    ShowLinkLamp(LinkLampState::Off);
}

void Form1Korvane::ButonBağlantıKes_Click() {
    const LinkState state = CurrentLinkState();
    if (state == LinkState::Disconnected) return;
    // A scan has nothing on the line worth finishing; any other exchange leaves
    // the ECU half written (a curve, the factory settings) or a run unfinished:
    // the fitter decides.
    // The question names the exchange, and goes away (No) if it ends first.
    if (state != LinkState::Searching && EcuSequenceRunning()) {
        const ExchangeFailure running = RunningExchangeName();
        const std::string turkish = running.turkish.empty() ? "" : "\n\nSüren işlem: " + running.turkish;
        const std::string english = running.english.empty() ? "" : "\n\nUnder way: " + running.english;
        const auto stillRunning = [this, running] {
            return EcuSequenceRunning() && RunningExchangeName().turkish == running.turkish;
        };
        if (!AskYesNoWhile("Süren işlem yarıda kalacak. Bağlantı kesilsin mi?" + turkish,
                           "The exchange under way will be cut short. Disconnect?" + english, stillRunning))
            return;
    }
    const std::string device = LinkDeviceName;
    ExchangeFailure failure;
    if (state != LinkState::Searching) {
        failure = AbortRunningExchange();
        // A stopped calibration tells the ECU to leave its calibration mode before
        // the port closes.
        if (SequencerState == calibration::kStopStep) CalibrationTick();
    } else {
        SetWorkAreaEnabled(true);
    }
    CloseLink();
    if (failure.turkish.empty())
        ShowMessage("BAĞLANTI KESİLDİ : " + device, "DISCONNECTED : " + device);
    else
        ShowMessage("BAĞLANTI KESİLDİ, " + failure.turkish + " ! " + device,
                    "DISCONNECTED, " + failure.english + " ! " + device);
    // A recording ends with the link, as when the adapter is pulled.
    if (LiveLog) {
        const std::string said = KomutSatırı.text;
        const LiveLogOutcome log = FinishLiveLog();
        ShowMessage(said + "  " + log.turkish, said + "  " + log.english);
    }
}

}  // namespace gasecu
