#pragma once
// The window's port control over a real serial device (QSerialPort): 38400 baud,
// 8 data bits, no parity, one stop bit, no flow control; the whole reply and the
// device-lost report as every binding gives them (runtime/serial_line_binding.h).
#include <QSerialPort>

#include "runtime/serial_line.h"
#include "runtime/serial_line_binding.h"

namespace gasecu {

class QtSerialPort final : public SerialLineBinding {
public:
    // explicitDevices: the devices named with --port; they take the first numbers.
    explicit QtSerialPort(std::vector<std::string> explicitDevices = {});
    ~QtSerialPort() override;
    QtSerialPort(const QtSerialPort&) = delete;
    QtSerialPort& operator=(const QtSerialPort&) = delete;

    std::string deviceName(int number) const override;

    bool open() override;

    bool send(const Bytes& frame) override;
    Bytes readAll() override;
    Bytes discardWaiting() override;

    // Error signals of the underlying port since construction (diagnostics, tests).
    long errorSignalCount() const { return errorSignals_; }

    static constexpr int kQuietMilliseconds = kLineQuietMilliseconds;
    static constexpr int kDrainMilliseconds = kLineDrainMilliseconds;

private:
    bool deviceOpen() const override { return port_.isOpen(); }
    std::size_t bytesWaiting() const override { return static_cast<std::size_t>(port_.bytesAvailable()); }
    void stopListening() override;
    void closeDrained() override;
    void onError(QSerialPort::SerialPortError error);

    QSerialPort port_;
    QMetaObject::Connection readyReadConnection_;
    QMetaObject::Connection errorConnection_;
    long errorSignals_ = 0;
};

}  // namespace gasecu
