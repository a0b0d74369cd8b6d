#include "reply_faults.h"

#include <algorithm>

#include "line_timing.h"

namespace gasecu::sim {

void ReplyFaults::setRate(ReplyFault kind, double probability) {
    rates_[static_cast<int>(kind)] = std::clamp(probability, 0.0, 1.0);
}

void ReplyFaults::setSplitPause(double lowMs, double highMs) {
    splitPauseLowMs_ = std::max(0.0, lowMs);
    splitPauseHighMs_ = std::max(splitPauseLowMs_, highMs);
}

void ReplyFaults::clear() {
    queued_.clear();
    rates_.fill(0);
    held_.clear();
}

std::optional<FaultSpec> ReplyFaults::next() {
    if (!queued_.empty()) {
        FaultSpec f = queued_.front();
        queued_.pop_front();
        return f;
    }
    std::uniform_real_distribution<double> chance(0.0, 1.0);
    for (int k = 0; k < kReplyFaultKinds; ++k) {
        if (rates_[k] > 0 && chance(rng_) < rates_[k]) return FaultSpec{static_cast<ReplyFault>(k), -1};
    }
    return std::nullopt;
}

int ReplyFaults::pick(int amount, int low, int high) {
    if (high < low) return low;
    if (amount >= 0) return std::clamp(amount, low, high);
    std::uniform_int_distribution<int> d(low, high);
    return d(rng_);
}

std::vector<ReplyChunk> ReplyFaults::apply(const Bytes& reply, double delayMs) {
    std::optional<FaultSpec> fault = next();
    if (fault && fault->kind == ReplyFault::Merge) {
        ++applied_[static_cast<int>(ReplyFault::Merge)];
        held_.insert(held_.end(), reply.begin(), reply.end());
        return {};
    }

    std::vector<ReplyChunk> chunks;
    const int n = static_cast<int>(reply.size());
    if (!fault) {
        chunks.push_back({reply, delayMs});
    } else {
        ++applied_[static_cast<int>(fault->kind)];
        switch (fault->kind) {
            case ReplyFault::Drop:
                break;
            case ReplyFault::Cut: {
                int keep = pick(fault->amount, 1, n - 1);
                chunks.push_back({Bytes(reply.begin(), reply.begin() + keep), delayMs - (n - keep) * kLineByteMs});
                break;
            }
            case ReplyFault::Split: {
                // The adapter hands over what it has after a pause in the middle.
                int first = pick(fault->amount, 1, n - 1);
                // Drawn only when a range is set, so that seeded runs keep their faults.
                double pauseMs = splitPauseLowMs_;
                if (splitPauseHighMs_ > splitPauseLowMs_)
                    pauseMs = std::uniform_real_distribution<double>(splitPauseLowMs_, splitPauseHighMs_)(rng_);
                chunks.push_back({Bytes(reply.begin(), reply.begin() + first), delayMs - (n - first) * kLineByteMs});
                chunks.push_back({Bytes(reply.begin() + first, reply.end()), delayMs + pauseMs});
                break;
            }
            case ReplyFault::Garbage: {
                int count = pick(fault->amount, 1, 6);
                Bytes noisy;
                std::uniform_int_distribution<int> byte(0, 255);
                for (int i = 0; i < count; ++i) noisy.push_back(static_cast<std::uint8_t>(byte(rng_)));
                noisy.insert(noisy.end(), reply.begin(), reply.end());
                chunks.push_back({noisy, delayMs + count * kLineByteMs});
                break;
            }
            case ReplyFault::Late: {
                int extra = pick(fault->amount, 600, 900);
                chunks.push_back({reply, delayMs + extra});
                break;
            }
            case ReplyFault::Duplicate:
            case ReplyFault::Stray: {
                // A line that echoes, or an adapter that hands a buffer over twice.
                const bool stray = fault->kind == ReplyFault::Stray;
                int after = stray ? pick(fault->amount, 650, 900) : pick(fault->amount, 5, 40);
                chunks.push_back({reply, delayMs});
                chunks.push_back({reply, delayMs + after});
                break;
            }
            case ReplyFault::Merge:
                break;
        }
    }

    // A reply held back comes in front of this one, in the same piece.
    if (!held_.empty()) {
        if (chunks.empty()) chunks.push_back({{}, delayMs});
        chunks.front().bytes.insert(chunks.front().bytes.begin(), held_.begin(), held_.end());
        held_.clear();
    }
    return chunks;
}

}  // namespace gasecu::sim
