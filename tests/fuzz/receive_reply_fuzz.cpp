// Replies name nothing: the step the sequencer stands at says what they mean. A
// loose connector can bring anything at any step: cut replies, two in one event,
// noise, a band block where a page was awaited. This target puts a fresh window at
// a step of any family and hands it received bytes through the port's receive
// event, the entry the serial wrapper uses, with the step machine and the
// calibration timer ticking in between as the input says.
//
// Input: two bytes give the step (low byte first), one byte the window's state (link up, a
// calibration or a curve check under way, the language, a closed port), then
// pieces: a head byte (length in bits 0..5, bit 6 a sequencer tick after it, bit 7
// a calibration tick) and that many received bytes.
//
// Held after every event and tick: every frame sent is sound (its check byte and
// CRC right), a tick sends at most one frame, a receive event sends none; at the
// end no value box shows a number that is not one (nan, inf).
#include <string>
#include <utility>
#include <vector>

#include "app/control_registry.h"
#include "app/form1korvane.h"
#include "calibration/calibration_steps.h"
#include "fuzz_target.h"
#include "link/frame_check.h"

namespace {

using namespace gasecu;

class FuzzPort : public SerialPort {
public:
    bool setPortNumber(int number) override {
        if (open_ || number < 1 || number > 15) return false;
        number_ = number;
        return true;
    }
    int portNumber() const override { return number_; }
    std::string deviceName(int number) const override { return "COM" + std::to_string(number); }
    bool open() override { return open_ = true; }
    void close() override { open_ = false; }
    bool isOpen() const override { return open_; }
    bool send(const Bytes& frame) override {
        if (!open_) return false;
        // A step entered here without its frame prepared (46 without a setting
        // typed) hands over nothing, which puts nothing on the line.
        if (frame.empty()) return true;
        FUZZ_EXPECT(frames::CheckToolFrame(frame) == frames::FrameFault::None);
        ++sent;
        return true;
    }
    Bytes readAll() override { return std::exchange(waiting_, {}); }

    void receive(const Bytes& bytes) {
        waiting_.insert(waiting_.end(), bytes.begin(), bytes.end());
        raiseEvent(kPortEventReceive);
    }

    int sent = 0;

private:
    int number_ = 1;
    bool open_ = false;
    Bytes waiting_;
};

bool ShowsANumberThatIsNot(Form1Korvane& form) {
    for (const ControlEntry& entry : ListControls(form)) {
        // The status line may name a file; the boxes hold numbers and counts.
        if (entry.kind() != ControlKind::TextBox || entry.name == "KomutSatırı") continue;
        const std::string& text = std::get<TextBoxControl*>(entry.control)->text;
        if (text.find("nan") != std::string::npos || text.find("inf") != std::string::npos) return true;
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) return 0;
    FuzzPort port;
    Form1Korvane form({{}, {}, &port, nullptr, '.'});
    form.Form_Load();

    const std::uint8_t state = data[2];
    port.open();
    form.LinkUp = (state & 1) != 0;
    if (state & 2) {
        form.CalibrationRunning = true;
        form.CalibrationNextStep = static_cast<std::int16_t>(calibration::kStartStep + (state >> 4) * 2);
    }
    form.CurveWriteChecking = (state & 4) != 0;
    form.LanguageIndex = (state & 8) ? 1 : 0;
    if (state & 0x80) port.close();
    // Steps run up to the calibration's 553 and the parked 1000.
    form.SequencerState = (data[0] | data[1] << 8) % 1024;

    std::size_t at = 3;
    while (at < size) {
        const std::uint8_t head = data[at++];
        const std::size_t length = std::min<std::size_t>(head & 63, size - at);
        int before = port.sent;
        // Every piece comes as the answer to a request (the tool takes at most one
        // reply per request and drops the rest unread), so that each reaches the
        // decoding of its step.
        form.AwaitedReplyLength = form.SequencerState == 16 ? 20 : 13;
        port.receive(Bytes(data + at, data + at + length));
        FUZZ_EXPECT(port.sent == before);
        at += length;
        if (head & 64) {
            before = port.sent;
            form.Timer1.tick();
            FUZZ_EXPECT(port.sent - before <= 1);
        }
        if (head & 128) {
            before = port.sent;
            form.Timer4.tick();
            FUZZ_EXPECT(port.sent - before <= 1);
        }
    }
    FUZZ_EXPECT(!ShowsANumberThatIsNot(form));
    return 0;
}
