#pragma once
// The window's port control over a real serial device (QSerialPort): 38400 baud,
// 8 data bits, no parity, one stop bit, no flow control.
//
// A reply is handed to the window whole: the receive event is raised once at least
// 13 bytes are waiting and the line has been quiet for longer than a USB adapter's
// packet time, so a 20-byte band block is not cut after its 13th byte.
//
// A USB adapter pulled out under an open port is reported once through the
// device-lost handler, after the port has been closed; nothing throws.
#include <QSerialPort>
#include <QTimer>
#include <string>
#include <vector>

#include "platform/serial_port.h"

namespace gasecu {

class QtSerialPort final : public SerialPort {
public:
    // explicitDevices: the devices named with --port; they take the first numbers.
    explicit QtSerialPort(std::vector<std::string> explicitDevices = {});
    ~QtSerialPort() override;
    QtSerialPort(const QtSerialPort&) = delete;
    QtSerialPort& operator=(const QtSerialPort&) = delete;

    bool setPortNumber(int number) override;
    int portNumber() const override { return number_; }
    std::string deviceName(int number) const override;

    bool open() override;
    void close() override;
    bool isOpen() const override;

    bool send(const Bytes& frame) override;
    Bytes readAll() override;
    Bytes discardWaiting() override;

    // Error signals of the underlying port since construction (diagnostics, tests).
    long errorSignalCount() const { return errorSignals_; }

    // Quiet time after the last received byte before the receive event. On the wire
    // 3.5 characters are 0.9 ms, but the common USB adapters (FTDI, CH340) hand
    // received bytes over in 16 ms packets, so a 20-byte band block can arrive as
    // two chunks 16 ms apart. 20 ms keeps it whole and is still far inside the
    // 500 ms tick that waits for the reply.
    static constexpr int kQuietMilliseconds = 20;
    // Longest wait at a close for frames still in the send buffer: a whole frame
    // takes 2 ms on the wire, so this is only ever reached by a device that takes
    // nothing.
    static constexpr int kDrainMilliseconds = 300;

private:
    void onReadyRead();
    void onLineQuiet();
    void onError(QSerialPort::SerialPortError error);
    void disconnectLineSignals();
    // Every close: the frames still waiting in the send buffer go out first.
    void closeDrained();

    std::vector<std::string> explicitDevices_;
    int number_ = 1;
    QSerialPort port_;
    QTimer quietTimer_;
    QMetaObject::Connection readyReadConnection_;
    QMetaObject::Connection errorConnection_;
    // Counts opens, so a queued loss report of an earlier open is recognised as stale.
    unsigned openGeneration_ = 0;
    bool lossPending_ = false;
    long errorSignals_ = 0;
};

}  // namespace gasecu
