#pragma once
// The serial line to the ECU, as the window uses it (38400 baud, 8N1). The real
// device sits behind a QSerialPort wrapper; tests and the simulator use virtual ports.
#include <functional>
#include <string>

#include "platform/bytes.h"

namespace gasecu {

// Event kinds raised to the window's receive handler.
inline constexpr int kPortEventReceive = 2;  // bytes are waiting; read them with readAll()

class SerialPort {
public:
    virtual ~SerialPort() = default;

    // Port numbers are 1..15 (COM1..COM15). Refused (false) while the port is open
    // or for a number outside 1..15.
    virtual bool setPortNumber(int number) = 0;
    virtual int portNumber() const = 0;
    // The device behind a port number, for messages ("COM4", "/dev/ttyUSB0", ...).
    virtual std::string deviceName(int number) const = 0;

    // Opening a missing or busy device fails with false; nothing throws.
    virtual bool open() = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;

    // Hands one whole frame to the line and returns at once. On a closed or lost
    // port the frame is dropped and false is returned; nothing else changes.
    virtual bool send(const Bytes& frame) = 0;
    // Every waiting byte, emptying the receive buffer.
    virtual Bytes readAll() = 0;
    // Throws away every byte received so far, before a request goes out: what came
    // before it is no part of its reply. Returns the bytes thrown away that the port
    // had taken in (a real device's driver may drop more, unseen).
    virtual Bytes discardWaiting() { return readAll(); }

    // The receive event: called on the UI thread with the event kind (2 = bytes
    // received, once at least 13 are waiting and the line has gone quiet).
    void setEventHandler(std::function<void(int kind)> handler) { eventHandler_ = std::move(handler); }
    // Called once when an open device disappears (USB adapter pulled); the port
    // has been closed by then.
    void setDeviceLostHandler(std::function<void()> handler) { deviceLostHandler_ = std::move(handler); }

protected:
    void raiseEvent(int kind) {
        if (eventHandler_) eventHandler_(kind);
    }
    void raiseDeviceLost() {
        if (deviceLostHandler_) deviceLostHandler_();
    }

private:
    std::function<void(int)> eventHandler_;
    std::function<void()> deviceLostHandler_;
};

// Receive threshold: one ECU reply is at least 13 bytes.
inline constexpr int kReceiveThreshold = 13;
inline constexpr int kBaudRate = 38400;
inline constexpr int kReceiveBufferSize = 1024;
inline constexpr int kSendBufferSize = 512;

}  // namespace gasecu
