#include "support/link_harness.h"

namespace gasecu::test {

namespace {
const LocalTimeMs kTestMorning = std::chrono::local_days{std::chrono::year{2026} / 12 / 9} + std::chrono::hours{8};
}  // namespace

LinkHarness::LinkHarness(char decimalSeparator, double languageIndex, int ecuPort)
    : runnerOwner(std::make_unique<sim::VirtualTimeRunner>()),
      runner(*runnerOwner),
      clock(runner, kTestMorning),
      port(runner),
      form({dir.path(), dir.path() / "user", &port, nullptr, decimalSeparator}) {
    if (ecuPort >= 1) port.attachPeer(ecuPort, &ecu);
    port.setSentObserver([this](int number, const Bytes& frame) { runner.recordSent(number, frame); });
    form.env.clock = &clock;
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
      clock(runner, kTestMorning),
      form({dir.path(), dir.path() / "user", &port, nullptr, decimalSeparator}) {
    port.setRunner(&runner);
    form.env.clock = &clock;
    runner.attach(form);
    form.Form_Load();
    form.LanguageIndex = languageIndex;
}

}  // namespace gasecu::test
