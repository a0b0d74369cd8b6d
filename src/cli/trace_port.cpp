#include "cli/trace_port.h"

#include "app/number_format.h"

namespace gasecu::cli {

std::string HexBytes(const Bytes& bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(bytes.size() * 3);
    for (std::uint8_t b : bytes) {
        if (!text.empty()) text += ' ';
        text += kDigits[b >> 4];
        text += kDigits[b & 15];
    }
    return text;
}

std::string FormatTraceLine(double timeMs, bool sent, const Bytes& bytes) {
    std::string time = FormatFixed(timeMs, 1, '.');
    if (time.size() < 9) time.insert(0, 9 - time.size(), ' ');
    return "[" + time + " ms] " + (sent ? "TX " : "RX ") + HexBytes(bytes);
}

TracingPort::TracingPort(SerialPort& inner, std::function<double()> clock,
                         std::function<void(const std::string&)> sink)
    : ForwardingSerialPort(inner), clock_(std::move(clock)), sink_(std::move(sink)) {}

bool TracingPort::send(const Bytes& frame) {
    const bool sent = ForwardingSerialPort::send(frame);
    // A frame dropped by a closed port never reached the wire: it is not shown.
    if (sent && sink_) sink_(FormatTraceLine(clock_(), true, frame));
    return sent;
}

void TracingPort::note(const std::string& text) {
    if (!sink_) return;
    std::string line = FormatTraceLine(clock_(), false, {});
    line.replace(line.size() - 3, 3, "-- " + text);
    sink_(line);
}

Bytes TracingPort::discardWaiting() {
    Bytes bytes = ForwardingSerialPort::discardWaiting();
    if (!bytes.empty() && sink_) {
        sink_(FormatTraceLine(clock_(), false, bytes));
        note("dropped: came before the request");
    }
    return bytes;
}

Bytes TracingPort::readAll() {
    Bytes bytes = ForwardingSerialPort::readAll();
    if (!bytes.empty() && sink_) sink_(FormatTraceLine(clock_(), false, bytes));
    return bytes;
}

}  // namespace gasecu::cli
