#pragma once
// The gas-injection controller, in process: the far end of the serial line. It
// finds the tool's frames by their length byte, answers with fixed-length replies,
// stores settings and the curve (checking the sum of setting writes and the CRC of
// curve blocks), runs a small engine model, and can be told to misbehave.
//
// A pure object: onBytes() takes what arrived on the line and returns what goes
// back, with arrival delays; it keeps no clock of its own. The virtual port, the
// window's simulate mode and the gasecu-sim pseudo-terminal all drive it.
#include <cstdint>
#include <optional>
#include <set>
#include <vector>

#include "ecu_frame_reader.h"
#include "ecu_memory.h"
#include "engine_model.h"
#include "platform/bytes.h"
#include "reply_faults.h"

namespace gasecu::sim {

// Something on the far end of a virtual serial line.
class LinePeer {
public:
    virtual ~LinePeer() = default;
    // Bytes the tool sent, received at nowMs; returns the reply pieces.
    virtual std::vector<ReplyChunk> onBytes(const Bytes& in, double nowMs) = 0;
};

// What the controller did with what it received.
struct EcuCounters {
    std::uint64_t repliesSent = 0;
    std::uint64_t settingsStored = 0;
    std::uint64_t badCheckWrites = 0;  // setting writes with a wrong check byte, ignored
    std::uint64_t blocksStored = 0;
    std::uint64_t badCrcBlocks = 0;    // curve block writes with a wrong CRC, ignored
    std::uint64_t refusedWrites = 0;   // setting writes to a refused address, ignored
    std::uint64_t droppedBlockWrites = 0;  // curve block writes lost on the way in
    std::uint64_t corrections = 0;     // correction commands received
    std::uint64_t skippedBytes = 0;    // bytes that formed no known frame
};

class VirtualEcu : public LinePeer {
public:
    explicit VirtualEcu(std::uint32_t seed = 1);

    std::vector<ReplyChunk> onBytes(const Bytes& in, double nowMs) override;

    // The line: replies take their line time at 38400 baud plus the adapter's latency.
    void setAdapterLatency(double ms) { adapterLatencyMs_ = ms; }
    double adapterLatency() const { return adapterLatencyMs_; }
    // Adapter unplugged: nothing gets through in either direction.
    void setSilent(bool silent) { silent_ = silent; }
    bool silent() const { return silent_; }

    // Memory.
    EcuMemory& memory() { return memory_; }
    const EcuMemory& memory() const { return memory_; }
    int setting(int address) const { return memory_.setting(address); }
    void setSetting(int address, int value) { memory_.setSetting(address, static_cast<std::uint8_t>(value)); }
    // The fault records 66..86: the pages show 66, 67, 68 (page 6) and 69 (page 7);
    // a zero write clears one.
    void setFaultRecord(int address, int value) { setSetting(address, value); }
    // An ECU that will not take a setting: writes to this address (or a word write
    // starting there) are read off the line, counted and ignored; the old value stays.
    void refuseAddress(int address) { refused_.insert(address); }

    // The engine (the virtual-engine panel and tests turn these).
    EngineModel& engine() { return engine_; }
    const EngineModel& engine() const { return engine_; }
    void setEngineSpeed(double rpm) { engine_.setEngineSpeed(rpm); }
    double engineSpeed() const { return engine_.engineSpeed(); }
    void setGasPressure(double bar) { engine_.setGasPressure(bar); }
    double gasPressure() const { return engine_.gasPressure(); }
    void setReducerTemperature(std::optional<double> c) { engine_.setReducerTemperature(c); }
    double reducerTemperature() const { return engine_.reducerTemperature(); }
    void setGasTemperature(std::optional<double> c) { engine_.setGasTemperature(c); }
    double gasTemperature() const { return engine_.gasTemperature(); }
    void setSmallNozzle(bool small) { engine_.setSmallNozzle(small); }
    bool smallNozzle() const { return engine_.smallNozzle(); }
    FuelState fuelState() const { return engine_.fuelState(); }
    // Injection times as the last live reply carried them.
    double lastPetrolTime() const { return lastPetrolMs_; }
    double lastGasTime() const { return lastGasMs_; }

    // Faults on the way back.
    ReplyFaults& faults() { return faults_; }
    void queueFault(FaultSpec fault) { faults_.queue(fault); }
    void setFaultRate(ReplyFault kind, double probability) { faults_.setRate(kind, probability); }
    double faultRate(ReplyFault kind) const { return faults_.rate(kind); }

    // A fault on the way in: the next write of curve block 10..16 is lost on the
    // line (a loose connector), so the controller keeps the block it had. Nothing
    // answers a block write, so only a read back can tell.
    void dropNextBlockWrite(int block) { droppedBlockWrites_.push_back(block); }

    const EcuCounters& counters() const;

    // The reply to one frame, as the controller builds it (no faults, no timing).
    std::optional<Bytes> replyTo(const Bytes& frame);

    // Band 1..6 the controller uses at an engine speed (the nearest thousand).
    static int BandForSpeed(double rpm);
    // Ignition period for the live reply: the tool multiplies 60 x 250000 / period
    // by a factor from the coil count, so the period carries that factor too.
    static int IgnitionPeriod(double rpm, int coilCount);

private:
    Bytes liveReply();
    Bytes pageReply(int page);
    Bytes headerReply();
    Bytes bandReply(int requestedBlock);
    void store(const Bytes& frame);
    bool lostOnTheWayIn(const Bytes& frame);
    std::uint8_t fuelByte() const { return static_cast<std::uint8_t>(engine_.fuelState()); }

    EcuFrameReader reader_;
    EcuMemory memory_;
    EngineModel engine_;
    ReplyFaults faults_;
    mutable EcuCounters counters_;
    std::vector<int> droppedBlockWrites_;
    double adapterLatencyMs_ = 1.0;
    bool silent_ = false;
    std::set<int> refused_;
    double lineFreeAtMs_ = 0;
    double lastPetrolMs_ = 0;
    double lastGasMs_ = 0;
};

// A warm engine held where a calibration wants it, as a fitter brings it before
// pressing start: 2100 rpm, 1.10 bar, reducer at 70 °C and gas at 35 °C.
struct CalibrationReadyEngine {
    static constexpr double kSpeed = 2100;
    static constexpr double kPressure = 1.1;
    static constexpr double kReducerTemperature = 70;
    static constexpr double kGasTemperature = 35;
};
void HoldForCalibration(VirtualEcu& ecu);

}  // namespace gasecu::sim
