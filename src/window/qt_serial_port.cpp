#include "window/qt_serial_port.h"

#include <QDeadlineTimer>
#include <QSerialPortInfo>
#include <algorithm>

#include "window/port_map.h"

namespace gasecu {
namespace {

#ifdef _WIN32
constexpr bool kOnWindows = true;
#else
constexpr bool kOnWindows = false;
#endif

std::vector<std::string> DetectedSerialDevices() {
    std::vector<std::string> devices;
    if constexpr (!kOnWindows) {
        for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
            devices.push_back(info.systemLocation().toStdString());
    }
    return devices;
}

}  // namespace

QtSerialPort::QtSerialPort(std::vector<std::string> explicitDevices)
    : explicitDevices_(std::move(explicitDevices)) {
    quietTimer_.setSingleShot(true);
    quietTimer_.setTimerType(Qt::PreciseTimer);
    quietTimer_.setInterval(kQuietMilliseconds);
    QObject::connect(&quietTimer_, &QTimer::timeout, &port_, [this] { onLineQuiet(); });
    // Counted always, handled only while open: a storm of errors would show here.
    QObject::connect(&port_, &QSerialPort::errorOccurred, &port_, [this](QSerialPort::SerialPortError error) {
        if (error != QSerialPort::NoError) ++errorSignals_;
    });
}

QtSerialPort::~QtSerialPort() {
    disconnectLineSignals();
    quietTimer_.stop();
    closeDrained();
}

void QtSerialPort::closeDrained() {
    if (!port_.isOpen()) return;
    // QSerialPort keeps written frames in its own buffer and hands them to the
    // driver when the event loop turns; a close before that throws them away. The
    // last frame before the exit button (a calibration's end command, say) would
    // never reach the ECU, which then stays in calibration mode. So the buffer goes
    // out first, bounded: a device that takes nothing (pulled, stuck) must not hold
    // the window.
    const QDeadlineTimer deadline(kDrainMilliseconds);
    port_.flush();
    while (port_.bytesToWrite() > 0 && !deadline.hasExpired()) {
        if (!port_.waitForBytesWritten(static_cast<int>(std::max<qint64>(1, deadline.remainingTime())))) break;
    }
    port_.close();
}

bool QtSerialPort::setPortNumber(int number) {
    if (port_.isOpen() || number < kFirstPortNumber || number > kLastPortNumber) return false;
    number_ = number;
    return true;
}

std::string QtSerialPort::deviceName(int number) const {
    return PortDevice(number, explicitDevices_, DetectedSerialDevices(), kOnWindows);
}

bool QtSerialPort::open() {
    if (port_.isOpen()) return false;
    const std::string device = deviceName(number_);
    if (device.empty()) return false;

    port_.setPortName(QString::fromStdString(device));
    port_.setBaudRate(kBaudRate);
    port_.setDataBits(QSerialPort::Data8);
    port_.setParity(QSerialPort::NoParity);
    port_.setStopBits(QSerialPort::OneStop);
    port_.setFlowControl(QSerialPort::NoFlowControl);
    port_.setReadBufferSize(kReceiveBufferSize);
    // The 512-byte send buffer is a property of the Windows driver; on other systems
    // the kernel's own buffer takes the frames and there is nothing to set.
    if (!port_.open(QIODevice::ReadWrite)) {
        // A missing or busy device: the port scan simply tries the next number.
        port_.clearError();
        return false;
    }
    port_.clear();  // bytes left in the driver from before are no reply to us
    port_.clearError();
    ++openGeneration_;
    lossPending_ = false;
    readyReadConnection_ = QObject::connect(&port_, &QSerialPort::readyRead, &port_, [this] { onReadyRead(); });
    errorConnection_ = QObject::connect(&port_, &QSerialPort::errorOccurred, &port_,
                                        [this](QSerialPort::SerialPortError error) { onError(error); });
    return true;
}

void QtSerialPort::close() {
    disconnectLineSignals();
    quietTimer_.stop();
    lossPending_ = false;
    closeDrained();
    port_.clearError();
}

bool QtSerialPort::isOpen() const { return port_.isOpen() && !lossPending_; }

bool QtSerialPort::send(const Bytes& frame) {
    if (!isOpen()) return false;  // the frame is lost, nothing else changes
    const auto size = static_cast<qint64>(frame.size());
    return port_.write(reinterpret_cast<const char*>(frame.data()), size) == size;
}

Bytes QtSerialPort::readAll() {
    if (!port_.isOpen()) return {};
    const QByteArray waiting = port_.readAll();
    return Bytes(waiting.begin(), waiting.end());
}

Bytes QtSerialPort::discardWaiting() {
    Bytes stale = readAll();
    if (!port_.isOpen()) return stale;
    // And what the driver holds but Qt has not taken in yet.
    port_.clear(QSerialPort::Input);
    quietTimer_.stop();
    return stale;
}

void QtSerialPort::onReadyRead() {
    // Every new chunk restarts the wait: the event comes when the reply has ended.
    quietTimer_.start();
}

void QtSerialPort::onLineQuiet() {
    if (!isOpen()) return;
    // Fewer than 13 bytes stay waiting until the rest of the reply arrives.
    if (port_.bytesAvailable() >= kReceiveThreshold) raiseEvent(kPortEventReceive);
}

void QtSerialPort::onError(QSerialPort::SerialPortError error) {
    if (error == QSerialPort::NoError || error == QSerialPort::TimeoutError) return;
    // Any other error on an open port means the device is gone. Some systems never
    // say ResourceError for a pulled adapter but repeat ReadError as fast as the
    // event loop turns; so stop listening now, and close outside this signal.
    if (lossPending_) return;
    lossPending_ = true;
    disconnectLineSignals();
    quietTimer_.stop();
    const unsigned generation = openGeneration_;
    QMetaObject::invokeMethod(
        &port_,
        [this, generation] {
            if (generation != openGeneration_ || !lossPending_) return;  // closed or reopened meanwhile
            closeDrained();  // bounded: a pulled device takes nothing and fails at once
            port_.clearError();
            lossPending_ = false;
            raiseDeviceLost();
        },
        Qt::QueuedConnection);
}

void QtSerialPort::disconnectLineSignals() {
    QObject::disconnect(readyReadConnection_);
    QObject::disconnect(errorConnection_);
}

}  // namespace gasecu
