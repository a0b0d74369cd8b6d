#include "ecu_frame_reader.h"

#include <array>
#include <cstddef>

namespace gasecu::sim {
namespace {

// What the controller knows of each command: its length and the bytes that are
// fixed or limited. -1 = any value.
struct KnownCommand {
    std::uint8_t code;
    std::uint8_t length;
    int fixedThird;   // the constant third byte of the 4-byte commands
    int fixedFourth;  // 66 of the page request, 63 of the block request
};

constexpr std::array<KnownCommand, 16> kCommands{{
    {110, 4, 110, -1},  // live data
    {132, 4, 142, -1},  // petrol
    {133, 4, 143, -1},  // write start
    {144, 4, 154, -1},  // gas
    {202, 4, 202, -1},  // write end
    {5, 4, 5, -1},      // write close
    {155, 4, 165, -1},  // calibration begin
    {111, 4, 121, -1},  // calibration petrol
    {122, 4, 132, -1},  // calibration gas
    {156, 4, 166, -1},  // calibration end
    {109, 5, -1, 66},   // page request
    {106, 5, -1, 63},   // curve block request
    {99, 5, -1, -1},    // correction
    {75, 7, -1, -1},    // setting write
    {76, 8, -1, -1},    // setting word write
    {77, 24, -1, -1},   // curve block write
}};

const KnownCommand* Find(std::uint8_t code) {
    for (const KnownCommand& c : kCommands)
        if (c.code == code) return &c;
    return nullptr;
}

// The short frames are easy to imitate by noise, so their variable bytes must also
// make sense before the controller acts on them: pages 1..8, blocks 10..16, a
// correction of 1..255 steps in direction 0 or 255, a zero after a setting's address.
bool VariableBytePlausible(std::uint8_t code, std::size_t index, std::uint8_t value) {
    if (code == 109 && index == 2) return value >= 1 && value <= 8;
    if (code == 106 && index == 2) return value >= 10 && value <= 16;
    if (code == 99 && index == 2) return value >= 1;
    if (code == 99 && index == 3) return value == 0 || value == 255;
    if ((code == 75 || code == 76) && index == 3) return value == 0;  // the zero byte after the address
    return true;
}

}  // namespace

int EcuFrameReader::expectedLength(std::uint8_t code) {
    const KnownCommand* c = Find(code);
    return c ? c->length : 0;
}

EcuFrameReader::Verdict EcuFrameReader::judge(std::size_t at) const {
    const std::size_t available = buffer_.size() - at;
    const KnownCommand* command = Find(buffer_[at]);
    if (!command) return Verdict::Skip;
    if (available < 2) return Verdict::NeedMore;
    if (buffer_[at + 1] != command->length) return Verdict::Skip;
    for (std::size_t i = 2; i < command->length && i < available; ++i) {
        std::uint8_t b = buffer_[at + i];
        if (i == 2 && command->fixedThird >= 0 && b != command->fixedThird) return Verdict::Skip;
        if (i == 3 && command->fixedFourth >= 0 && b != command->fixedFourth) return Verdict::Skip;
        if (i + 1 < command->length && !VariableBytePlausible(command->code, i, b)) return Verdict::Skip;
    }
    if (available < command->length) return Verdict::NeedMore;
    if (buffer_[at + command->length - 1] != 10) return Verdict::Skip;
    return Verdict::Frame;
}

// The tool hands every frame to the line whole, so a complete frame that ends
// exactly where the received bytes end is the tool's latest frame, and a partial
// "frame" in front of it that would swallow it is noise.
bool EcuFrameReader::wholeFrameEndsBuffer(std::size_t from) const {
    for (std::size_t j = from; j + 4 <= buffer_.size(); ++j) {
        if (j + 1 < buffer_.size() && j + buffer_[j + 1] == buffer_.size() && judge(j) == Verdict::Frame)
            return true;
    }
    return false;
}

std::vector<Bytes> EcuFrameReader::feed(const Bytes& in, double nowMs) {
    // Bytes left over from long ago cannot be the start of a frame still coming.
    if (!buffer_.empty() && nowMs - lastByteMs_ > staleAfterMs_) {
        skipped_ += buffer_.size();
        buffer_.clear();
    }
    if (!in.empty()) lastByteMs_ = nowMs;
    buffer_.insert(buffer_.end(), in.begin(), in.end());

    std::vector<Bytes> frames;
    std::size_t at = 0;
    while (at < buffer_.size()) {
        Verdict v = judge(at);
        if (v == Verdict::NeedMore && !wholeFrameEndsBuffer(at + 1)) break;
        if (v != Verdict::Frame) {
            ++skipped_;
            ++at;
            continue;
        }
        std::size_t length = buffer_[at + 1];
        const auto first = buffer_.begin() + static_cast<std::ptrdiff_t>(at);
        frames.emplace_back(first, first + static_cast<std::ptrdiff_t>(length));
        at += length;
    }
    buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(at));
    return frames;
}

}  // namespace gasecu::sim
