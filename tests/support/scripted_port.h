#pragma once
// A serial port for scenario tests with a scripted peer: whatever the tool sends
// on a port number goes to the peer function, whose answer arrives a little later
// in virtual time. Ports can be missing, replies can be cut, delayed or dropped by
// the peer itself. Give it the runner before the first send.
#include <functional>
#include <map>
#include <set>
#include <string>

#include "platform/serial_port.h"
#include "virtual_time_runner.h"

namespace gasecu::test {

class ScriptedPort : public SerialPort {
public:
    // The peer's answer to one frame on a port number; empty means silence.
    std::function<Bytes(int port, const Bytes& frame)> peer;
    double replyDelayMs = 30;
    std::set<int> missingPorts;  // opening these fails
    // The device behind a number, where it is not "COMn" (it may change under the
    // tool, as the detected list does when an adapter is pulled).
    std::map<int, std::string> deviceNames;

    void setRunner(sim::VirtualTimeRunner* runner) { runner_ = runner; }

    bool setPortNumber(int number) override;
    int portNumber() const override { return number_; }
    std::string deviceName(int number) const override {
        auto named = deviceNames.find(number);
        return named != deviceNames.end() ? named->second : "COM" + std::to_string(number);
    }
    bool open() override;
    void close() override;
    bool isOpen() const override { return open_; }
    bool send(const Bytes& frame) override;
    Bytes readAll() override;

    // Bytes reaching the open port delayMs from now; the receive event is raised
    // once at least 13 are waiting.
    void arrive(Bytes bytes, double delayMs);
    // Bytes read at once by a receive event, whatever their count (a wrapper that
    // gave up waiting for the rest of a cut reply).
    void receiveNow(const Bytes& bytes);
    // A port event of any kind, as a line-state change raises it.
    void raise(int kind) { raiseEvent(kind); }
    // The adapter is pulled out.
    void pull();

    int openCount = 0;

private:
    sim::VirtualTimeRunner* runner_ = nullptr;
    int number_ = 1;
    bool open_ = false;
    unsigned session_ = 0;  // bytes in flight belong to one opening of one port
    Bytes waiting_;
};

// A reply of the ECU's 13-byte form with the given bytes (counted from 1) set.
Bytes Reply13(std::initializer_list<std::pair<int, int>> bytes);

}  // namespace gasecu::test
