#include "runtime/qt_serial_port.h"

#include <QDeadlineTimer>
#include <QSerialPortInfo>
#include <algorithm>

#include "runtime/port_map.h"

namespace gasecu {
namespace {

std::vector<std::string> DetectedSerialDevices() {
    std::vector<std::string> devices;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        devices.push_back(info.systemLocation().toStdString());
    return devices;
}

}  // namespace

std::unique_ptr<SerialPort> MakeSerialLine(std::vector<std::string> explicitDevices) {
    return std::make_unique<QtSerialPort>(std::move(explicitDevices));
}

bool SerialDevicesPresent() { return !QSerialPortInfo::availablePorts().isEmpty(); }

QtSerialPort::QtSerialPort(std::vector<std::string> explicitDevices)
    : SerialLineBinding(std::move(explicitDevices)) {
    // Counted always, handled only while open: a storm of errors would show here.
    QObject::connect(&port_, &QSerialPort::errorOccurred, &port_, [this](QSerialPort::SerialPortError error) {
        if (error != QSerialPort::NoError) ++errorSignals_;
    });
}

QtSerialPort::~QtSerialPort() { close(); }

void QtSerialPort::closeDrained() {
    if (port_.isOpen()) {
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
    port_.clearError();
}

std::string QtSerialPort::deviceName(int number) const {
    return PortDevice(number, explicitDevices(), DetectedSerialDevices(), false);
}

bool QtSerialPort::open() {
    if (port_.isOpen()) return false;
    const std::string device = deviceName(portNumber());
    if (device.empty()) return false;

    port_.setPortName(QString::fromStdString(device));
    port_.setBaudRate(kBaudRate);
    port_.setDataBits(QSerialPort::Data8);
    port_.setParity(QSerialPort::NoParity);
    port_.setStopBits(QSerialPort::OneStop);
    port_.setFlowControl(QSerialPort::NoFlowControl);
    port_.setReadBufferSize(kReceiveBufferSize);
    // The 512-byte send buffer is a property of the Windows driver (the Win32
    // binding sets it); here the kernel's own buffer takes the frames.
    if (!port_.open(QIODevice::ReadWrite)) {
        // A missing or busy device: the port scan simply tries the next number.
        port_.clearError();
        return false;
    }
    port_.clear();  // bytes left in the driver from before are no reply to us
    port_.clearError();
    opened();
    // Every new chunk restarts the wait: the event comes when the reply has ended.
    readyReadConnection_ = QObject::connect(&port_, &QSerialPort::readyRead, &port_, [this] { restartQuietWait(); });
    errorConnection_ = QObject::connect(&port_, &QSerialPort::errorOccurred, &port_,
                                        [this](QSerialPort::SerialPortError error) { onError(error); });
    return true;
}

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
    stopQuietWait();
    return stale;
}

void QtSerialPort::onError(QSerialPort::SerialPortError error) {
    if (error == QSerialPort::NoError || error == QSerialPort::TimeoutError) return;
    // Any other error on an open port means the device is gone. Some systems never
    // say ResourceError for a pulled adapter but repeat ReadError as fast as the
    // event loop turns: the report stops listening at the first.
    reportLoss();
}

void QtSerialPort::stopListening() {
    QObject::disconnect(readyReadConnection_);
    QObject::disconnect(errorConnection_);
}

}  // namespace gasecu
