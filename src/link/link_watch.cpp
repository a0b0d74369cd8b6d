// The link watch. The ECU answers every live request within a few milliseconds,
// and every long exchange puts live requests between its heavy frames; so once the
// link is up, three seconds (six sequencer ticks) without a byte mean the
// ECU has stopped answering: its power went, the adapter's far end came loose, or
// the ignition was switched off. Without the watch the window would go on showing
// the last values as if they were live, and a read whose replies stopped would
// cycle for ever with its buttons locked.
//
// Silent: the link indicator turns red, the live values greyed, the settings
// entries locked, and whatever exchange was running is ended with its own failure
// message and the buttons given back. The idle poll goes on; the first whole reply
// turns the indicator green and the status line says so, naming again what the
// silence cut short: the line never says "not responding" beside a green
// indicator, and the failure is not lost. Before anything on the settings screen
// counts as current again, the idle step reads every settings page.
#include <string>

#include "app/form1korvane.h"

namespace gasecu {

namespace {
// Six 500 ms ticks: three seconds.
constexpr int kSilentTicks = 6;
// Twenty ticks, ten seconds, of bytes but no usable reply.
constexpr int kUnusableTicks = 20;
}  // namespace

void Form1Korvane::WatchLink() {
    // The scan and a parked machine have their own ends; before the link is up no
    // reply is owed.
    if (!LinkGuard()) {
        TicksWithoutReply = 0;
        TicksWithoutWholeReply = 0;
        return;
    }
    if (EcuSilent) return;
    ++TicksWithoutWholeReply;
    if (++TicksWithoutReply < kSilentTicks) {
        // The ECU (or something on the line) sends, but nothing a request can use:
        // whatever waits for a reply would wait for ever.
        if (TicksWithoutWholeReply < kUnusableTicks || EcuRepliesUnusable) return;
        EcuRepliesUnusable = true;
        const ExchangeFailure failure = AbortRunningExchange();
        const std::string turkish = failure.turkish.empty() ? "" : failure.turkish + " : ";
        const std::string english = failure.english.empty() ? "" : failure.english + " : ";
        ShowMessage(turkish + "EKÜ'DEN GEÇERLİ YANIT GELMİYOR ! ", english + "NO VALID REPLY FROM THE ECU ! ");
        return;
    }
    EcuSilent = true;
    ShowLinkLamp(LinkLampState::Silent);
    const ExchangeFailure failure = AbortRunningExchange();
    // The ECU may have been reset or swapped while it was silent.
    SettingsStale = true;
    SetSettingEntriesEnabled(false);
    SilenceCutShort = failure;
    if (failure.turkish.empty()) {
        ShowMessage("ECU YANIT VERMİYOR ! ", "ECU NOT RESPONDING ! ");
    } else {
        ShowMessage(failure.turkish + " : ECU YANIT VERMİYOR ! ", failure.english + " : ECU NOT RESPONDING ! ");
    }
}

void Form1Korvane::NoteLineActivity() { TicksWithoutReply = 0; }

void Form1Korvane::NoteWholeReply() {
    LastWholeReplyMs = clock().steadyMs();
    TicksWithoutReply = 0;
    TicksWithoutWholeReply = 0;
    EcuRepliesUnusable = false;
    if (!EcuSilent) return;
    EcuSilent = false;
    ShowLinkLamp(LinkLampState::Answering);
    const std::string turkish = SilenceCutShort.turkish.empty() ? "" : " — " + SilenceCutShort.turkish;
    const std::string english = SilenceCutShort.english.empty() ? "" : " — " + SilenceCutShort.english;
    ShowMessage("ECU YENİDEN YANIT VERİYOR : " + LinkDeviceName + turkish,
                "ECU RESPONDING AGAIN : " + LinkDeviceName + english);
    SilenceCutShort = {};
}

void Form1Korvane::ShowLinkLamp(LinkLampState state) {
    LinkLampShown = state;
    ShowLinkIndicator();
}

void Form1Korvane::CaptionLinkLamp() { ShowLinkIndicator(); }

}  // namespace gasecu
