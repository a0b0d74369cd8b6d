#pragma once
// The controller's receiver: finds the tool's frames in the byte stream by their
// code and length byte. The line feed that ends a frame can also occur inside its
// body (block number 10, a value of 10), so it only confirms an end the length
// byte has announced. Bytes that cannot start a known frame are dropped one at a
// time until a plausible frame starts again; a frame may arrive in pieces.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/bytes.h"

namespace gasecu::sim {

class EcuFrameReader {
public:
    // A partial frame older than staleAfterMs is given up when new bytes come:
    // the tool sends whole frames, so a remainder that long is line noise.
    explicit EcuFrameReader(double staleAfterMs = 100.0) : staleAfterMs_(staleAfterMs) {}

    // Adds bytes received at nowMs; returns every complete, plausible frame.
    std::vector<Bytes> feed(const Bytes& in, double nowMs);

    // Bytes thrown away because no known frame started there.
    std::uint64_t skippedBytes() const { return skipped_; }
    // Bytes of a frame still waiting for its rest.
    std::size_t pendingBytes() const { return buffer_.size(); }

    // The length of a known command, 0 for an unknown code.
    static int expectedLength(std::uint8_t code);

private:
    enum class Verdict { Frame, NeedMore, Skip };
    Verdict judge(std::size_t at) const;
    bool wholeFrameEndsBuffer(std::size_t from) const;

    double staleAfterMs_;
    Bytes buffer_;
    double lastByteMs_ = 0;
    std::uint64_t skipped_ = 0;
};

}  // namespace gasecu::sim
