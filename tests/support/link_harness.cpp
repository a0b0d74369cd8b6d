#include "support/link_harness.h"

namespace gasecu::test {

LinkHarness::LinkHarness(char decimalSeparator, double languageIndex, int ecuPort)
    : runnerOwner(std::make_unique<sim::VirtualTimeRunner>()),
      runner(*runnerOwner),
      port(runner),
      form({dir.path(), dir.path() / "user", &port, nullptr, decimalSeparator}) {
    if (ecuPort >= 1) port.attachPeer(ecuPort, &ecu);
    port.setSentObserver([this](int number, const Bytes& frame) { runner.recordSent(number, frame); });
    runner.attach(form);
    form.Form_Load();
    form.LanguageIndex = languageIndex;
}

bool LinkHarness::connect(double maxMs) {
    form.ComOpenButon_Click();
    return runner.runUntil([this] { return form.LinkUp && form.SequencerState == 8; }, maxMs);
}

std::vector<sim::SentFrame> LinkHarness::framesSince(double timeMs) const {
    std::vector<sim::SentFrame> out;
    for (const sim::SentFrame& f : runner.sentFrames())
        if (f.timeMs >= timeMs) out.push_back(f);
    return out;
}

bool LinkHarness::runUntilStep(double step, double maxMs) {
    return runner.runUntil([this, step] { return form.SequencerState == step; }, maxMs);
}

ScriptedLink::ScriptedLink(char decimalSeparator, double languageIndex)
    : runnerOwner(std::make_unique<sim::VirtualTimeRunner>()),
      runner(*runnerOwner),
      form({dir.path(), dir.path() / "user", &port, nullptr, decimalSeparator}) {
    port.setRunner(&runner);
    runner.attach(form);
    form.Form_Load();
    form.LanguageIndex = languageIndex;
}

}  // namespace gasecu::test
