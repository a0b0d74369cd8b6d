#pragma once
// The tool's serial port, virtual: port numbers 1..15, each of which may have a
// controller (a LinePeer) behind it. Timing follows a Scheduler: what the peer
// answers arrives at its arrival time, and the receive event is raised the way
// the serial wrapper raises it, once at least 13 bytes are waiting and the line
// has gone quiet (the end of a reply piece).
//
// Ports with nothing behind them open and stay silent, like a real COM port with
// no cable; numbers marked missing fail to open, like a port the PC does not have.
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>

#include "platform/scheduler.h"
#include "platform/serial_port.h"
#include "virtual_ecu.h"

namespace gasecu::sim {

class VirtualPort : public SerialPort {
public:
    explicit VirtualPort(Scheduler& scheduler);
    ~VirtualPort() override;
    VirtualPort(const VirtualPort&) = delete;
    VirtualPort& operator=(const VirtualPort&) = delete;

    // The controller on port `number` (nullptr: nothing there). Not owned.
    void attachPeer(int number, LinePeer* peer);
    // Port numbers the PC does not have: open() fails on them.
    void setMissingPorts(std::set<int> numbers) { missing_ = std::move(numbers); }
    // Told of every frame the tool sends on an open port (port number, bytes).
    void setSentObserver(std::function<void(int, const Bytes&)> observer) { sentObserver_ = std::move(observer); }
    // The USB adapter is pulled: an open port closes and reports the loss; the
    // number then counts as missing until plugBack().
    void unplug();
    void plugBack();

    bool setPortNumber(int number) override;
    int portNumber() const override { return number_; }
    std::string deviceName(int number) const override;
    bool open() override;
    void close() override;
    bool isOpen() const override { return open_; }
    bool send(const Bytes& frame) override;
    Bytes readAll() override;

    std::size_t bytesWaiting() const { return buffer_.size(); }
    std::uint64_t receiveEvents() const { return receiveEvents_; }
    std::uint64_t overrunBytes() const { return overrunBytes_; }

private:
    void arrive(std::uint64_t session, const Bytes& bytes);

    Scheduler& scheduler_;
    std::map<int, LinePeer*> peers_;
    std::set<int> missing_;
    int unpluggedNumber_ = 0;
    std::function<void(int, const Bytes&)> sentObserver_;
    int number_ = 1;
    bool open_ = false;
    // Every open starts a new session; bytes scheduled in an older one are dropped.
    std::uint64_t session_ = 0;
    Bytes buffer_;
    std::uint64_t receiveEvents_ = 0;
    std::uint64_t overrunBytes_ = 0;
    // Scheduled arrivals hold this weakly, so a port destroyed first is not touched.
    std::shared_ptr<VirtualPort*> self_;
};

// The line of a PC with the controller on port `number` (1..15): the ports before
// it are there but silent (no cable), the ones after it the PC does not have. The
// controller is not owned.
std::unique_ptr<VirtualPort> LineWithEcuOnPort(Scheduler& scheduler, LinePeer& ecu, int number);

}  // namespace gasecu::sim
