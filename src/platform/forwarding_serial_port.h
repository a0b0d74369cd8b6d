#pragma once
// A serial port that stands between the form and the real one and passes every
// operation straight through. Whoever holds it also learns of every receive and
// device-lost event: the form's own handler runs first, then the after-event hook
// (the window mirrors the controls the handler changed; a headless command checks
// whether what it waits for has come). Decorators that need to see the traffic
// derive from it and override send() or readAll().
#include <functional>
#include <string>

#include "platform/serial_port.h"

namespace gasecu {

class ForwardingSerialPort : public SerialPort {
public:
    explicit ForwardingSerialPort(SerialPort& inner) : inner_(inner) {
        inner_.setEventHandler([this](int kind) {
            raiseEvent(kind);
            if (after_) after_();
        });
        inner_.setDeviceLostHandler([this] {
            raiseDeviceLost();
            if (after_) after_();
        });
    }
    ~ForwardingSerialPort() override {
        inner_.setEventHandler(nullptr);
        inner_.setDeviceLostHandler(nullptr);
    }
    ForwardingSerialPort(const ForwardingSerialPort&) = delete;
    ForwardingSerialPort& operator=(const ForwardingSerialPort&) = delete;

    // Runs after the form's handler of every receive or device-lost event.
    void setAfterEvent(std::function<void()> after) { after_ = std::move(after); }

    bool setPortNumber(int number) override { return inner_.setPortNumber(number); }
    int portNumber() const override { return inner_.portNumber(); }
    std::string deviceName(int number) const override { return inner_.deviceName(number); }
    bool open() override { return inner_.open(); }
    void close() override { inner_.close(); }
    bool isOpen() const override { return inner_.isOpen(); }
    bool send(const Bytes& frame) override { return inner_.send(frame); }
    Bytes readAll() override { return inner_.readAll(); }
    Bytes discardWaiting() override { return inner_.discardWaiting(); }

private:
    SerialPort& inner_;
    std::function<void()> after_;
};

}  // namespace gasecu
