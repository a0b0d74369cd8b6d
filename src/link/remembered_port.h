#pragma once
// The port where the ECU last answered. A fitter's laptop usually has the same
// adapter on the same device day after day; probing it first links in about a
// second instead of one second per port before it. Nothing else about the scan
// changes: the same probe frame on every port, the same pacing, each port once.
#include <array>
#include <cstdint>
#include <filesystem>
#include <string>

#include "app/form1korvane.h"

namespace gasecu::link {

// The virtual ECU's ports are not the PC's, so it neither reads nor keeps the
// remembered port; ports the fitter names on the command line are probed in his
// order, and where the ECU answered among them is kept for the next start.
constexpr PortMemory PortMemoryFor(bool virtualEcu, bool portsNamed) {
    if (virtualEcu) return PortMemory::Off;
    return portsNamed ? PortMemory::KeepOnly : PortMemory::ProbeFirstAndKeep;
}

inline constexpr const char* kRememberedPortFileName = "SonPort";

// Port numbers 1..15 in the order the scan probes them: `first` (when it is one of
// them), then the others in their usual rising order.
std::array<std::int16_t, 15> ScanOrderStartingAt(int first);

// The device name kept in the file, or "" when there is none: a missing,
// unreadable, oversized or garbled file is as good as none.
std::string ReadRememberedPortDevice(const std::filesystem::path& file);

// What the file holds for a device: its name on one line.
std::string RememberedPortFileText(const std::string& device);

}  // namespace gasecu::link
