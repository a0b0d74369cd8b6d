#include "virtual_ecu.h"

#include <algorithm>
#include <cmath>

#include "line_timing.h"
#include "sensor_codes.h"

namespace gasecu::sim {
namespace {

std::uint8_t Low(int v) { return static_cast<std::uint8_t>(v & 0xFF); }
std::uint8_t High(int v) { return static_cast<std::uint8_t>((v >> 8) & 0xFF); }

int Word(double v) { return static_cast<int>(std::clamp(std::nearbyint(v), 0.0, 65535.0)); }

// A 13-byte reply starts with the code it answers and ends with a line feed; the
// tool reads neither.
Bytes ShortReply(std::uint8_t code, std::uint8_t fuel) {
    Bytes r(13, 0);
    r[0] = code;
    r[1] = fuel;
    r[12] = 10;
    return r;
}

std::uint16_t Crc16Arc(const std::uint8_t* data, std::size_t length) {
    std::uint16_t crc = 0;
    for (std::size_t i = 0; i < length; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit) crc = (crc & 1) ? static_cast<std::uint16_t>((crc >> 1) ^ 0xA001) : crc >> 1;
    }
    return crc;
}

}  // namespace

VirtualEcu::VirtualEcu(std::uint32_t seed) : engine_(seed), faults_(seed * 2654435761u + 1) {}

const EcuCounters& VirtualEcu::counters() const {
    counters_.skippedBytes = reader_.skippedBytes();
    return counters_;
}

int VirtualEcu::BandForSpeed(double rpm) {
    return std::clamp(static_cast<int>(std::nearbyint(rpm / 1000)), 1, 6);
}

int VirtualEcu::IgnitionPeriod(double rpm, int coilCount) {
    if (rpm <= 0) return 65535;  // engine stopped: the longest period there is
    double factor = coilCount <= 1 ? 0.5 : (coilCount <= 3 ? 1.0 : 2.0);
    return std::clamp(Word(60.0 * 250000.0 / rpm * factor), 1, 65535);
}

std::vector<ReplyChunk> VirtualEcu::onBytes(const Bytes& in, double nowMs) {
    if (silent_) return {};
    engine_.advanceTo(nowMs);
    std::vector<ReplyChunk> out;
    double lineStart = std::max(nowMs, lineFreeAtMs_);
    for (const Bytes& frame : reader_.feed(in, nowMs)) {
        if (lostOnTheWayIn(frame)) continue;
        std::optional<Bytes> reply = replyTo(frame);
        if (!reply) continue;
        ++counters_.repliesSent;
        // One reply after the other on the line; the adapter adds its latency.
        double lineEnd = lineStart + static_cast<double>(reply->size()) * kLineByteMs;
        lineFreeAtMs_ = lineEnd;
        lineStart = lineEnd;
        for (ReplyChunk& c : faults_.apply(*reply, lineEnd + adapterLatencyMs_ - nowMs)) out.push_back(std::move(c));
    }
    return out;
}

bool VirtualEcu::lostOnTheWayIn(const Bytes& frame) {
    if (frame[0] != 77 || frame.size() < 3) return false;
    auto it = std::find(droppedBlockWrites_.begin(), droppedBlockWrites_.end(), frame[2]);
    if (it == droppedBlockWrites_.end()) return false;
    droppedBlockWrites_.erase(it);
    ++counters_.droppedBlockWrites;
    return true;
}

std::optional<Bytes> VirtualEcu::replyTo(const Bytes& frame) {
    switch (frame[0]) {
        case 110:
            return liveReply();
        case 109:
            return pageReply(frame[2]);
        case 106:
            return frame[2] == 10 ? headerReply() : bandReply(frame[2]);
        case 132:  // petrol
        case 111:  // calibration: petrol
            engine_.switchToPetrol();
            return std::nullopt;
        case 133:  // write start: the engine goes to petrol while the curve changes
            engine_.switchToPetrol();
            engine_.setCalibrating(false);
            return std::nullopt;
        case 144:  // gas
            engine_.switchToGas();
            return std::nullopt;
        case 122:  // calibration: gas
            engine_.switchToGas();
            engine_.setCalibrating(true);
            return std::nullopt;
        case 155:
            engine_.setCalibrating(true);
            return std::nullopt;
        case 156:
            engine_.setCalibrating(false);
            return std::nullopt;
        case 99:
            ++counters_.corrections;
            engine_.correct(frame[2], frame[3]);
            return std::nullopt;
        default:
            store(frame);  // writes; write end and close need nothing more
            return std::nullopt;
    }
}

void VirtualEcu::store(const Bytes& frame) {
    if (frame[0] == 75) {
        // 75, 7, address, 0, value, check, 10
        bool ok = frame[3] == 0 && Low(frame[2] + frame[3] + frame[4]) == frame[5];
        if (!ok) {
            ++counters_.badCheckWrites;
            return;
        }
        if (refused_.count(frame[2])) {
            ++counters_.refusedWrites;
            return;
        }
        memory_.setSetting(frame[2], frame[4]);
        ++counters_.settingsStored;
    } else if (frame[0] == 76) {
        // 76, 8, address, 0, low, high, check, 10
        bool ok = frame[3] == 0 && Low(frame[2] + frame[3] + frame[4] + frame[5]) == frame[6] && frame[2] < 255;
        if (!ok) {
            ++counters_.badCheckWrites;
            return;
        }
        if (refused_.count(frame[2])) {
            ++counters_.refusedWrites;
            return;
        }
        memory_.setSettingWord(frame[2], frame[4] + 256 * frame[5]);
        ++counters_.settingsStored;
    } else if (frame[0] == 77) {
        // 77, 24, block, 18 data bytes, CRC low, CRC high, 10
        std::uint16_t crc = Crc16Arc(frame.data(), 21);
        bool ok = frame[21] == Low(crc) && frame[22] == High(crc) && frame[2] >= 10 && frame[2] <= 16;
        if (!ok) {
            ++counters_.badCrcBlocks;
            return;
        }
        CurveBlockData data{};
        std::copy(frame.begin() + 3, frame.begin() + 21, data.begin());
        memory_.setCurveBlock(frame[2], data);
        ++counters_.blocksStored;
    }
}

Bytes VirtualEcu::liveReply() {
    Bytes r = ShortReply(110, fuelByte());
    double petrol = engine_.petrolTime();
    double gas = memory_.gasLevelAt(BandForSpeed(engine_.engineSpeed()), petrol) * 0.05 * engine_.gasTrim();
    if (engine_.engineSpeed() <= 0) gas = 0;
    int petrolRaw = Word(petrol * 250);
    int gasRaw = Word(gas * 244.16);
    lastPetrolMs_ = petrolRaw / 250.0;
    lastGasMs_ = gasRaw / 244.16;
    int period = IgnitionPeriod(engine_.engineSpeed(), memory_.setting(31));
    r[2] = Low(petrolRaw);
    r[3] = High(petrolRaw);
    r[4] = Low(gasRaw);
    r[5] = High(gasRaw);
    r[6] = Low(period);
    r[7] = High(period);
    r[8] = PressureCode(engine_.gasPressure());
    r[10] = TemperatureCode(engine_.reducerTemperature());
    r[11] = TemperatureCode(engine_.gasTemperature());
    return r;
}

// Settings pages. Bytes are numbered from 1 as the fitters' documents count them;
// the index into the reply is one less. Page bytes not listed carry nothing the
// tool reads and are 0.
//   page 1: byte 6 coil count (address 31)
//   page 4: byte 6 transition speed / 10 rpm (47), byte 7 reducer transition temperature code (48)
//   page 5: bytes 3, 4 advance word (55 low, 56 high), byte 9 minimum pressure (51),
//           byte 12 leakage-test pressure (53)
//   page 6: byte 7 gas valve relay fault (66), byte 8 injector relay fault (67),
//           byte 10 low pressure fault (68)
//   page 7: byte 10 communication fault (69)
// The fault records 70..86 are kept and cleared like the others but shown on no page.
Bytes VirtualEcu::pageReply(int page) {
    Bytes r = ShortReply(109, fuelByte());
    auto put = [&](int byteNumber, int address) { r[byteNumber - 1] = memory_.setting(address); };
    switch (page) {
        case 1:
            put(6, 31);
            break;
        case 4:
            put(6, 47);
            put(7, 48);
            break;
        case 5:
            put(3, 55);
            put(4, 56);
            put(9, 51);
            put(12, 53);
            break;
        case 6:
            put(7, 66);
            put(8, 67);
            put(10, 68);
            break;
        case 7:
            put(10, 69);
            break;
        default:
            break;
    }
    return r;
}

// The head: bytes 3..8 are the six curve parameters.
Bytes VirtualEcu::headerReply() {
    Bytes r = ShortReply(106, fuelByte());
    const CurveBlockData& head = memory_.curveBlock(10);
    for (int i = 0; i < 6; ++i) r[2 + i] = head[i];
    return r;
}

// A band: 20 bytes, the 18 rises in bytes 2..19 (the rise of point 1 takes the
// place where other replies carry the fuel state).
Bytes VirtualEcu::bandReply(int requestedBlock) {
    const CurveBlockData& rises = memory_.curveBlock(memory_.blockForBandRequest(requestedBlock));
    Bytes r(20, 0);
    r[0] = 106;
    std::copy(rises.begin(), rises.end(), r.begin() + 1);
    r[19] = 10;
    return r;
}

void HoldForCalibration(VirtualEcu& ecu) {
    ecu.setEngineSpeed(CalibrationReadyEngine::kSpeed);
    ecu.setGasPressure(CalibrationReadyEngine::kPressure);
    ecu.setReducerTemperature(CalibrationReadyEngine::kReducerTemperature);
    ecu.setGasTemperature(CalibrationReadyEngine::kGasTemperature);
}

}  // namespace gasecu::sim
