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
#include "runtime/serial_line.h"

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

    static constexpr int kQuietMilliseconds = kLineQuietMilliseconds;
    static constexpr int kDrainMilliseconds = kLineDrainMilliseconds;

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
