#include "support/link_harness.h"

namespace gasecu::test {

LinkHarness::LinkHarness(char decimalSeparator, double languageIndex)
    : form({dir.path(), dir.path() / "user", &port, nullptr, decimalSeparator}) {
    port.setRunner(&runner);
    port.peer = [this](int number, const Bytes& frame) { return ecu.answer(number, frame); };
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

}  // namespace gasecu::test
