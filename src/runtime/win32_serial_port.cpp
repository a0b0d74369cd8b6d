#include "runtime/win32_serial_port.h"

#include "platform/windows_api.h"

#include <QDeadlineTimer>
#include <QThread>
#include <algorithm>
#include <iterator>
#include <string>

#include "curve/curve_file_io.h"
#include "runtime/port_map.h"
#include "runtime/serial_line.h"

namespace gasecu {
namespace {

HANDLE AsHandle(void* handle) { return static_cast<HANDLE>(handle); }

// "COM12" is opened as "\\.\COM12": only COM1..COM9 have a name without the prefix.
std::wstring DevicePathFor(const std::string& device) {
    return L"\\\\.\\" + curve::PathFromUtf8(device).wstring();
}

// 38400 8N1, no flow control of either kind, DTR and RTS raised (adapters that
// power the ECU's line driver from them need it), nothing replaced or dropped.
bool SetLine(HANDLE port) {
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!::GetCommState(port, &dcb)) return false;
    dcb.BaudRate = kBaudRate;
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONESTOPBIT;
    dcb.fBinary = TRUE;
    dcb.fParity = FALSE;
    dcb.fOutxCtsFlow = FALSE;
    dcb.fOutxDsrFlow = FALSE;
    dcb.fDtrControl = DTR_CONTROL_ENABLE;
    dcb.fDsrSensitivity = FALSE;
    dcb.fOutX = FALSE;
    dcb.fInX = FALSE;
    dcb.fErrorChar = FALSE;
    dcb.fNull = FALSE;
    dcb.fRtsControl = RTS_CONTROL_ENABLE;
    dcb.fAbortOnError = FALSE;
    if (!::SetCommState(port, &dcb)) return false;
    // A read returns at once with what is there; a write gives up after the
    // drain time (a device that takes nothing), and the frame counts as lost.
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = MAXDWORD;
    timeouts.WriteTotalTimeoutConstant = kLineDrainMilliseconds;
    return ::SetCommTimeouts(port, &timeouts) != 0;
}

}  // namespace

std::unique_ptr<SerialPort> MakeSerialLine(std::vector<std::string> explicitDevices) {
    return std::make_unique<Win32SerialPort>(std::move(explicitDevices));
}

bool SerialDevicesPresent() {
    wchar_t target[512];
    for (int number = kFirstPortNumber; number <= kLastPortNumber; ++number) {
        const std::wstring name = L"COM" + std::to_wstring(number);
        if (::QueryDosDeviceW(name.c_str(), target, static_cast<DWORD>(std::size(target))) != 0) return true;
    }
    return false;
}

Win32SerialPort::Win32SerialPort(std::vector<std::string> explicitDevices)
    : SerialLineBinding(std::move(explicitDevices)) {
    pollTimer_.setTimerType(Qt::PreciseTimer);
    pollTimer_.setInterval(kPollMilliseconds);
    QObject::connect(&pollTimer_, &QTimer::timeout, &pollTimer_, [this] { onPoll(); });
}

Win32SerialPort::~Win32SerialPort() { close(); }

std::string Win32SerialPort::deviceName(int number) const {
    return PortDevice(number, explicitDevices(), {}, true);
}

bool Win32SerialPort::open() {
    if (handle_) return false;
    const std::string device = deviceName(portNumber());
    if (device.empty()) return false;
    const HANDLE port = ::CreateFileW(DevicePathFor(device).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                      OPEN_EXISTING, 0, nullptr);
    // A missing or busy port: the port scan simply tries the next number.
    if (port == INVALID_HANDLE_VALUE) return false;
    ::SetupComm(port, kReceiveBufferSize, kSendBufferSize);
    if (!SetLine(port)) {
        ::CloseHandle(port);
        return false;
    }
    // Bytes left in the driver from before are no reply to us.
    ::PurgeComm(port, PURGE_RXCLEAR | PURGE_TXCLEAR | PURGE_RXABORT | PURGE_TXABORT);
    handle_ = port;
    received_.clear();
    opened();
    pollTimer_.start();
    return true;
}

bool Win32SerialPort::send(const Bytes& frame) {
    if (!isOpen()) return false;  // the frame is lost, nothing else changes
    DWORD written = 0;
    const auto size = static_cast<DWORD>(frame.size());
    if (::WriteFile(AsHandle(handle_), frame.data(), size, &written, nullptr) && written == size) return true;
    // A failed write on an open port is a device going away; the next poll says so.
    return false;
}

Bytes Win32SerialPort::readAll() {
    if (!handle_) return {};
    if (isOpen() && !takeReceived()) reportLoss();
    Bytes waiting;
    waiting.swap(received_);
    return waiting;
}

bool Win32SerialPort::takeReceived() {
    DWORD errors = 0;
    COMSTAT status{};
    if (!::ClearCommError(AsHandle(handle_), &errors, &status)) return false;
    const auto capacity = static_cast<std::size_t>(kReceiveBufferSize);
    const std::size_t room = capacity - std::min(received_.size(), capacity);
    const auto wanted = static_cast<DWORD>(std::min<std::size_t>(status.cbInQue, room));
    if (wanted == 0) return true;
    const std::size_t before = received_.size();
    received_.resize(before + wanted);
    DWORD got = 0;
    const bool ok = ::ReadFile(AsHandle(handle_), received_.data() + before, wanted, &got, nullptr) != 0;
    received_.resize(before + got);
    return ok;
}

void Win32SerialPort::onPoll() {
    if (!isOpen()) return;
    const std::size_t before = received_.size();
    if (!takeReceived()) {
        reportLoss();
        return;
    }
    // Every new chunk restarts the wait: the event comes when the reply has ended.
    if (received_.size() != before) restartQuietWait();
}

void Win32SerialPort::closeDrained() {
    if (!handle_) return;
    const HANDLE port = AsHandle(handle_);
    // The last frame before the exit button (a calibration's end command, say)
    // must reach the ECU, else it stays in calibration mode: what the driver
    // still holds goes out first, bounded, so a device that takes nothing does
    // not hold the window.
    const QDeadlineTimer deadline(kLineDrainMilliseconds);
    for (;;) {
        DWORD errors = 0;
        COMSTAT status{};
        if (!::ClearCommError(port, &errors, &status) || status.cbOutQue == 0 || deadline.hasExpired()) break;
        QThread::msleep(1);
    }
    ::CloseHandle(port);
    handle_ = nullptr;
    received_.clear();
}

}  // namespace gasecu
