#pragma once
// The serial line to a real device, as the window and the commands open it: the
// QSerialPort binding on Linux, the Win32 binding on Windows (Qt's serial port
// module is not built for Windows here). Both hand a reply over whole and send
// what is waiting before a close, by the same figures.
#include <memory>
#include <string>
#include <vector>

#include "platform/serial_port.h"

namespace gasecu {

// Quiet time after the last received byte before the receive event. On the wire
// 3.5 characters are 0.9 ms, but the common USB adapters (FTDI, CH340) hand
// received bytes over in 16 ms packets, so a 20-byte band block can arrive as
// two chunks 16 ms apart. 20 ms keeps it whole and is still far inside the
// 500 ms tick that waits for the reply.
inline constexpr int kLineQuietMilliseconds = 20;
// Longest wait at a close for frames still in the send buffer: a whole frame
// takes 2 ms on the wire, so this is only ever reached by a device that takes
// nothing.
inline constexpr int kLineDrainMilliseconds = 300;

// The line for the port numbers 1..15; explicitDevices: the devices named with
// --port, which take the first numbers (runtime/port_map.h).
std::unique_ptr<SerialPort> MakeSerialLine(std::vector<std::string> explicitDevices);

// Whether the PC has any serial device at all (else the window starts against the
// virtual ECU).
bool SerialDevicesPresent();

}  // namespace gasecu
