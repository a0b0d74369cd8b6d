#pragma once
// Stands between the form and its serial port in the headless commands. Every
// receive event reaches the form's own handler first, then the command that waits
// on it; with --trace every frame that goes out (TX) and every reply the form
// reads (RX) is written with its time in milliseconds and its bytes in hex, so a
// developer sees exactly what the window would put on the wire. Nothing else
// changes: every other operation passes straight through.
#include <functional>
#include <string>

#include "platform/forwarding_serial_port.h"

namespace gasecu::cli {

// "[   1500.0 ms] TX 6E 04 6E 0A"
std::string FormatTraceLine(double timeMs, bool sent, const Bytes& bytes);
// "6E 04 6E 0A"
std::string HexBytes(const Bytes& bytes);

class TracingPort final : public ForwardingSerialPort {
public:
    // clock: milliseconds since the command started; sink: where trace lines go
    // (null: no trace).
    TracingPort(SerialPort& inner, std::function<double()> clock, std::function<void(const std::string&)> sink);

    bool send(const Bytes& frame) override;
    Bytes readAll() override;
    Bytes discardWaiting() override;
    // A line of its own under the frames ("[time ms] -- text"), with --trace only.
    void note(const std::string& text);

private:
    std::function<double()> clock_;
    std::function<void(const std::string&)> sink_;
};

}  // namespace gasecu::cli
