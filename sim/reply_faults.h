#pragma once
// What a cheap adapter, a loose connector or a busy controller does to a reply on
// its way to the tool. Scriptable (queue a fault for the next reply) and random
// (a seeded probability per kind); a queued fault goes first.
#include <array>
#include <cstdint>
#include <deque>
#include <optional>
#include <random>
#include <vector>

#include "platform/bytes.h"

namespace gasecu::sim {

// One piece of a reply as it reaches the tool's adapter: its bytes and the moment
// the last of them has arrived, in ms after the request went out.
struct ReplyChunk {
    Bytes bytes;
    double delayMs = 0;
};

enum class ReplyFault {
    Drop,     // the reply never comes
    Cut,      // only its first bytes come
    Split,    // it comes in two pieces with a pause between
    Merge,    // it is held back and comes together with the next reply
    Garbage,  // noise bytes come in front of it
    Late,     // it comes after the tool's next tick (more than 500 ms)
    Duplicate,  // it comes twice, the copy a few ms after it
    Stray,      // it comes, and a copy comes again unasked after the tool's next tick
};
inline constexpr int kReplyFaultKinds = 8;

struct FaultSpec {
    ReplyFault kind;
    // Cut: bytes kept; Split: bytes in the first piece; Garbage: noise bytes;
    // Late: extra delay in ms; Duplicate, Stray: ms from the reply to its copy.
    // -1 picks a value at random.
    int amount = -1;
};

class ReplyFaults {
public:
    explicit ReplyFaults(std::uint32_t seed) : rng_(seed) {}

    void queue(FaultSpec fault) { queued_.push_back(fault); }
    // The pause between a split reply's two pieces, drawn from low..high ms (3 ms
    // unless set: a USB adapter's packet gap). A pause of hundreds of ms is a busy
    // controller or a stalling adapter: the tail may come long after the head.
    void setSplitPause(double lowMs, double highMs);
    void setRate(ReplyFault kind, double probability);
    double rate(ReplyFault kind) const { return rates_[static_cast<int>(kind)]; }
    void clear();

    // Turns one reply, due delayMs after its request, into what reaches the line.
    std::vector<ReplyChunk> apply(const Bytes& reply, double delayMs);

    std::uint64_t applied(ReplyFault kind) const { return applied_[static_cast<int>(kind)]; }

private:
    std::optional<FaultSpec> next();
    int pick(int amount, int low, int high);

    std::mt19937 rng_;
    std::deque<FaultSpec> queued_;
    std::array<double, kReplyFaultKinds> rates_{};
    std::array<std::uint64_t, kReplyFaultKinds> applied_{};
    Bytes held_;
    double splitPauseLowMs_ = 3.0;
    double splitPauseHighMs_ = 3.0;
};

}  // namespace gasecu::sim
