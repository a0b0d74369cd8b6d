#include "virtual_port.h"

namespace gasecu::sim {

VirtualPort::VirtualPort(Scheduler& scheduler)
    : scheduler_(scheduler), self_(std::make_shared<VirtualPort*>(this)) {}

VirtualPort::~VirtualPort() = default;

void VirtualPort::attachPeer(int number, LinePeer* peer) {
    if (peer)
        peers_[number] = peer;
    else
        peers_.erase(number);
}

bool VirtualPort::setPortNumber(int number) {
    if (open_ || number < 1 || number > 15) return false;
    number_ = number;
    return true;
}

std::string VirtualPort::deviceName(int number) const { return "COM" + std::to_string(number); }

bool VirtualPort::open() {
    if (open_) return false;  // already open: a second open of a busy port fails
    if (missing_.count(number_) || number_ == unpluggedNumber_) return false;
    open_ = true;
    ++session_;
    buffer_.clear();
    return true;
}

void VirtualPort::close() {
    if (!open_) return;
    open_ = false;
    ++session_;
    buffer_.clear();
}

void VirtualPort::unplug() {
    unpluggedNumber_ = number_;
    if (!open_) return;
    close();
    raiseDeviceLost();
}

void VirtualPort::plugBack() { unpluggedNumber_ = 0; }

bool VirtualPort::send(const Bytes& frame) {
    if (!open_) return false;
    if (sentObserver_) sentObserver_(number_, frame);
    auto peer = peers_.find(number_);
    if (peer == peers_.end()) return true;  // nobody there: the bytes go nowhere
    const std::uint64_t session = session_;
    std::weak_ptr<VirtualPort*> self = self_;
    for (ReplyChunk& chunk : peer->second->onBytes(frame, scheduler_.nowMs())) {
        scheduler_.schedule(chunk.delayMs, [self, session, bytes = std::move(chunk.bytes)] {
            if (auto port = self.lock()) (*port)->arrive(session, bytes);
        });
    }
    return true;
}

void VirtualPort::arrive(std::uint64_t session, const Bytes& bytes) {
    if (!open_ || session != session_) return;  // closed meanwhile: the bytes are lost
    for (std::uint8_t b : bytes) {
        if (buffer_.size() < static_cast<std::size_t>(kReceiveBufferSize))
            buffer_.push_back(b);
        else
            ++overrunBytes_;
    }
    // The piece has arrived and the line is quiet: the wrapper's event, if enough waits.
    if (buffer_.size() >= static_cast<std::size_t>(kReceiveThreshold)) {
        ++receiveEvents_;
        raiseEvent(kPortEventReceive);
    }
}

Bytes VirtualPort::readAll() {
    Bytes out;
    out.swap(buffer_);
    return out;
}

std::unique_ptr<VirtualPort> LineWithEcuOnPort(Scheduler& scheduler, LinePeer& ecu, int number) {
    auto port = std::make_unique<VirtualPort>(scheduler);
    port->attachPeer(number, &ecu);
    std::set<int> missing;
    for (int n = number + 1; n <= 15; ++n) missing.insert(n);
    port->setMissingPorts(std::move(missing));
    return port;
}

}  // namespace gasecu::sim
