#include "runtime/serial_line_binding.h"

#include "runtime/port_map.h"
#include "runtime/serial_line.h"

namespace gasecu {

SerialLineBinding::SerialLineBinding(std::vector<std::string> explicitDevices)
    : explicitDevices_(std::move(explicitDevices)) {
    quietTimer_.setSingleShot(true);
    quietTimer_.setTimerType(Qt::PreciseTimer);
    quietTimer_.setInterval(kLineQuietMilliseconds);
    QObject::connect(&quietTimer_, &QTimer::timeout, &quietTimer_, [this] { onLineQuiet(); });
}

bool SerialLineBinding::setPortNumber(int number) {
    if (deviceOpen() || number < kFirstPortNumber || number > kLastPortNumber) return false;
    number_ = number;
    return true;
}

void SerialLineBinding::close() {
    stopListening();
    quietTimer_.stop();
    lossPending_ = false;
    closeDrained();
}

void SerialLineBinding::opened() {
    ++openGeneration_;
    lossPending_ = false;
}

void SerialLineBinding::onLineQuiet() {
    if (!isOpen()) return;
    // Fewer than 13 bytes stay waiting until the rest of the reply arrives.
    if (bytesWaiting() >= static_cast<std::size_t>(kReceiveThreshold)) raiseEvent(kPortEventReceive);
}

void SerialLineBinding::reportLoss() {
    if (lossPending_) return;
    lossPending_ = true;
    stopListening();
    quietTimer_.stop();
    const unsigned generation = openGeneration_;
    QMetaObject::invokeMethod(
        &quietTimer_,
        [this, generation] {
            if (generation != openGeneration_ || !lossPending_) return;  // closed or reopened meanwhile
            closeDrained();  // bounded: a pulled device takes nothing and fails at once
            lossPending_ = false;
            raiseDeviceLost();
        },
        Qt::QueuedConnection);
}

}  // namespace gasecu
