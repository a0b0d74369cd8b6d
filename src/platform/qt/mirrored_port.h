#pragma once
// Stands between the form and its serial port so that the window learns of every
// receive event: the form's own handler runs first, then the window mirrors the
// controls the handler changed. Everything else passes straight through.
#include <functional>

#include "platform/serial_port.h"

namespace gasecu::qt {

class MirroredPort : public SerialPort {
public:
    explicit MirroredPort(SerialPort& inner) : inner_(inner) {
        inner_.setEventHandler([this](int kind) {
            raiseEvent(kind);
            if (after_) after_();
        });
        inner_.setDeviceLostHandler([this] {
            raiseDeviceLost();
            if (after_) after_();
        });
    }
    ~MirroredPort() override {
        inner_.setEventHandler(nullptr);
        inner_.setDeviceLostHandler(nullptr);
    }
    void setAfterEvent(std::function<void()> after) { after_ = std::move(after); }

    bool setPortNumber(int number) override { return inner_.setPortNumber(number); }
    int portNumber() const override { return inner_.portNumber(); }
    std::string deviceName(int number) const override { return inner_.deviceName(number); }
    bool open() override { return inner_.open(); }
    void close() override { inner_.close(); }
    bool isOpen() const override { return inner_.isOpen(); }
    bool send(const Bytes& frame) override { return inner_.send(frame); }
    Bytes readAll() override { return inner_.readAll(); }

private:
    SerialPort& inner_;
    std::function<void()> after_;
};

}  // namespace gasecu::qt
