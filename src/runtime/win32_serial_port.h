#pragma once
// The window's port control over a real COM port on Windows, through the Win32
// communications calls: 38400 baud, 8 data bits, no parity, one stop bit, no
// flow control, the same rules as the QSerialPort binding on Linux:
//
// A reply is handed to the window whole: the receive event is raised once at
// least 13 bytes are waiting and the line has been quiet for 20 ms (a USB
// adapter's packet time), so a 20-byte band block is not cut after its 13th byte.
//
// A USB adapter pulled out under an open port is reported once through the
// device-lost handler, after the port has been closed; nothing throws.
//
// The driver is asked every few milliseconds what it holds (no thread, no
// overlapped calls): the receive buffer is read on the UI thread as the Qt
// binding reads it, and a frame of at most 20 bytes goes out in 5 ms.
#include <QTimer>
#include <string>
#include <vector>

#include "platform/serial_port.h"
#include "runtime/serial_line.h"

namespace gasecu {

class Win32SerialPort final : public SerialPort {
public:
    // explicitDevices: the devices named with --port; they take the first numbers.
    explicit Win32SerialPort(std::vector<std::string> explicitDevices = {});
    ~Win32SerialPort() override;
    Win32SerialPort(const Win32SerialPort&) = delete;
    Win32SerialPort& operator=(const Win32SerialPort&) = delete;

    bool setPortNumber(int number) override;
    int portNumber() const override { return number_; }
    std::string deviceName(int number) const override;

    bool open() override;
    void close() override;
    bool isOpen() const override;

    bool send(const Bytes& frame) override;
    Bytes readAll() override;

    // How often the driver is asked for received bytes, well inside the quiet time.
    static constexpr int kPollMilliseconds = 4;

private:
    // Moves what the driver received into our buffer (at most its 1024 bytes);
    // false when the device no longer answers.
    bool takeReceived();
    void onPoll();
    void onLineQuiet();
    void reportLoss();
    // Every close: the frames still in the driver's send buffer go out first.
    void closeDrained();

    std::vector<std::string> explicitDevices_;
    int number_ = 1;
    void* handle_ = nullptr;  // the open COM port's HANDLE, null when closed
    Bytes received_;
    QTimer pollTimer_;
    QTimer quietTimer_;
    // Counts opens, so a queued loss report of an earlier open is recognised as stale.
    unsigned openGeneration_ = 0;
    bool lossPending_ = false;
};

}  // namespace gasecu
