#pragma once
// The window's port control over a real COM port on Windows, through the Win32
// communications calls: 38400 baud, 8 data bits, no parity, one stop bit, no
// flow control; the whole reply and the device-lost report as every binding
// gives them (runtime/serial_line_binding.h).
//
// The driver is asked every few milliseconds what it holds (no thread, no
// overlapped calls): the receive buffer is read on the UI thread as the Qt
// binding reads it, and a frame of at most 20 bytes goes out in 5 ms.
#include <QTimer>

#include "runtime/serial_line_binding.h"

namespace gasecu {

class Win32SerialPort final : public SerialLineBinding {
public:
    // explicitDevices: the devices named with --port; they take the first numbers.
    explicit Win32SerialPort(std::vector<std::string> explicitDevices = {});
    ~Win32SerialPort() override;
    Win32SerialPort(const Win32SerialPort&) = delete;
    Win32SerialPort& operator=(const Win32SerialPort&) = delete;

    std::string deviceName(int number) const override;

    bool open() override;

    bool send(const Bytes& frame) override;
    Bytes readAll() override;

    // How often the driver is asked for received bytes, well inside the quiet time.
    static constexpr int kPollMilliseconds = 4;

private:
    bool deviceOpen() const override { return handle_ != nullptr; }
    std::size_t bytesWaiting() const override { return received_.size(); }
    void stopListening() override { pollTimer_.stop(); }
    void closeDrained() override;
    // Moves what the driver received into our buffer (at most its 1024 bytes);
    // false when the device no longer answers.
    bool takeReceived();
    void onPoll();

    void* handle_ = nullptr;  // the open COM port's HANDLE, null when closed
    Bytes received_;
    QTimer pollTimer_;
};

}  // namespace gasecu
