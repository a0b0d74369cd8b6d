#pragma once
// What the two bindings of a real serial line share (the QSerialPort one on
// Linux, the Win32 one on Windows): the port numbers with the devices named on
// the command line first, the quiet time that hands a reply over whole, and the
// one report of a device pulled out under an open port.
//
// A reply is handed to the window whole: the receive event is raised once at
// least 13 bytes are waiting and the line has been quiet for 20 ms (a USB
// adapter's packet time), so a 20-byte band block is not cut after its 13th byte.
//
// A USB adapter pulled out under an open port is reported once through the
// device-lost handler, after the port has been closed; nothing throws.
#include <QTimer>
#include <cstddef>
#include <string>
#include <vector>

#include "platform/serial_port.h"

namespace gasecu {

class SerialLineBinding : public SerialPort {
public:
    SerialLineBinding(const SerialLineBinding&) = delete;
    SerialLineBinding& operator=(const SerialLineBinding&) = delete;

    bool setPortNumber(int number) final;
    int portNumber() const final { return number_; }
    void close() final;
    bool isOpen() const final { return deviceOpen() && !lossPending_; }

protected:
    // explicitDevices: the devices named with --port; they take the first numbers.
    explicit SerialLineBinding(std::vector<std::string> explicitDevices);
    ~SerialLineBinding() override = default;

    const std::vector<std::string>& explicitDevices() const { return explicitDevices_; }
    // Each new chunk of a reply restarts the wait for the line to go quiet.
    void restartQuietWait() { quietTimer_.start(); }
    void stopQuietWait() { quietTimer_.stop(); }
    // A device has just been opened: a loss report of an earlier open is stale.
    void opened();
    // The device is gone: stop listening now, close outside this call (the
    // caller may be inside the device's own signal), then say so once.
    void reportLoss();

private:
    virtual bool deviceOpen() const = 0;
    virtual std::size_t bytesWaiting() const = 0;
    // Stops the device's own signals or polling.
    virtual void stopListening() = 0;
    // Every close: what is still in the send buffer goes out first, bounded.
    virtual void closeDrained() = 0;
    void onLineQuiet();

    std::vector<std::string> explicitDevices_;
    int number_ = 1;
    QTimer quietTimer_;
    // Counts opens, so a queued loss report of an earlier open is recognised as stale.
    unsigned openGeneration_ = 0;
    bool lossPending_ = false;
};

}  // namespace gasecu
