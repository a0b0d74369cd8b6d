#include "support/scripted_port.h"

#include <utility>

namespace gasecu::test {

bool ScriptedPort::setPortNumber(int number) {
    if (open_ || number < 1 || number > 15) return false;
    number_ = number;
    return true;
}

bool ScriptedPort::open() {
    if (open_) return true;
    if (missingPorts.count(number_)) return false;
    open_ = true;
    ++session_;
    ++openCount;
    return true;
}

void ScriptedPort::close() {
    open_ = false;
    ++session_;
    waiting_.clear();
}

bool ScriptedPort::send(const Bytes& frame) {
    if (!open_) return false;
    if (runner_) runner_->recordSent(number_, frame);
    if (peer) {
        Bytes answer = peer(number_, frame);
        if (!answer.empty()) arrive(std::move(answer), replyDelayMs);
    }
    return true;
}

Bytes ScriptedPort::readAll() { return std::exchange(waiting_, {}); }

void ScriptedPort::arrive(Bytes bytes, double delayMs) {
    if (!runner_) return;
    unsigned session = session_;
    runner_->schedule(delayMs, [this, bytes = std::move(bytes), session] {
        if (!open_ || session != session_) return;  // the port was closed meanwhile
        waiting_.insert(waiting_.end(), bytes.begin(), bytes.end());
        if (waiting_.size() >= static_cast<std::size_t>(kReceiveThreshold)) raiseEvent(kPortEventReceive);
    });
}

void ScriptedPort::receiveNow(const Bytes& bytes) {
    waiting_.insert(waiting_.end(), bytes.begin(), bytes.end());
    raiseEvent(kPortEventReceive);
}

void ScriptedPort::pull() {
    open_ = false;
    ++session_;
    waiting_.clear();
    raiseDeviceLost();
}

Bytes Reply13(std::initializer_list<std::pair<int, int>> bytes) {
    Bytes r(13, 0);
    r[0] = 1;
    r[12] = 10;
    for (auto [n, v] : bytes) r[static_cast<std::size_t>(n - 1)] = static_cast<std::uint8_t>(v);
    return r;
}

}  // namespace gasecu::test
