// The virtual ECU stands in for the controller in every test and in the tool's
// simulate mode, and gasecu-sim serves it on a pseudo-terminal to anything that
// writes there. Its receiver must find the tool's frames in any byte stream,
// whatever arrives in whatever pieces, and act only on sound ones.
//
// Input: pieces, each a head byte (length in bits 0..5, the pause before it in
// bits 6..7: none, 1 ms, 50 ms or, beyond the stale limit, 150 ms) and that many
// bytes. The same pieces go to a bare frame reader and to a whole virtual ECU.
//
// Held: every byte is accounted for (in a frame, skipped or still pending), every
// frame found is whole (its command's length, its length byte, the closing line
// feed), the ECU stores exactly the setting and curve writes whose check byte or
// CRC is right, and it answers only with whole replies of 13 or 20 bytes.
#include <cstdint>

#include "ecu_frame_reader.h"
#include "fuzz_target.h"
#include "link/frame_check.h"
#include "virtual_ecu.h"

namespace {

using namespace gasecu;

constexpr double kPauses[4] = {0, 1, 50, 150};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    sim::EcuFrameReader reader;
    sim::VirtualEcu ecu;
    double now = 0;
    std::uint64_t fed = 0, framed = 0, soundSettings = 0, badSettings = 0, soundBlocks = 0, badBlocks = 0;

    std::size_t at = 0;
    while (at < size) {
        const std::uint8_t head = data[at++];
        const std::size_t length = std::min<std::size_t>(head & 63, size - at);
        now += kPauses[head >> 6];
        const Bytes piece(data + at, data + at + length);
        at += length;
        fed += length;

        for (const Bytes& frame : reader.feed(piece, now)) {
            FUZZ_EXPECT(frame.size() >= 4);
            FUZZ_EXPECT(static_cast<int>(frame.size()) == sim::EcuFrameReader::expectedLength(frame[0]));
            FUZZ_EXPECT(frame[1] == frame.size());
            FUZZ_EXPECT(frame.back() == 10);
            framed += frame.size();
            const bool sound = frames::CheckToolFrame(frame) == frames::FrameFault::None;
            if (frame[0] == 75 || frame[0] == 76) ++(sound ? soundSettings : badSettings);
            if (frame[0] == 77) ++(sound ? soundBlocks : badBlocks);
        }
        FUZZ_EXPECT(reader.skippedBytes() + reader.pendingBytes() + framed == fed);

        for (const sim::ReplyChunk& chunk : ecu.onBytes(piece, now)) {
            FUZZ_EXPECT(chunk.bytes.size() == 13 || chunk.bytes.size() == 20);
            FUZZ_EXPECT(chunk.delayMs >= 0);
        }
    }
    const sim::EcuCounters& counters = ecu.counters();
    FUZZ_EXPECT(counters.settingsStored == soundSettings);
    FUZZ_EXPECT(counters.badCheckWrites == badSettings);
    FUZZ_EXPECT(counters.blocksStored == soundBlocks);
    FUZZ_EXPECT(counters.badCrcBlocks == badBlocks);
    return 0;
}
