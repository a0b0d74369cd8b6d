// Cost of the link's hot paths on an old laptop's budget: one live reply decoded
// and shown (twice a second), and one sequencer tick at idle.
#include <benchmark/benchmark.h>

#include "app/form1korvane.h"
#include "platform/serial_port.h"

namespace {

using gasecu::Bytes;

// A port that is always open and hands back the same live reply.
class LoopPort : public gasecu::SerialPort {
public:
    Bytes reply{1, 2, 0xE8, 0x03, 0xD0, 0x07, 0xDC, 0x05, 128, 0, 100, 120, 10};
    bool setPortNumber(int) override { return true; }
    int portNumber() const override { return 4; }
    std::string deviceName(int) const override { return "COM4"; }
    bool open() override { return true; }
    void close() override {}
    bool isOpen() const override { return true; }
    bool send(const Bytes&) override { return true; }
    Bytes readAll() override { return reply; }
    void receive() { raiseEvent(gasecu::kPortEventReceive); }
};

struct Bench {
    LoopPort port;
    gasecu::Form1Korvane form{{std::filesystem::temp_directory_path(), {}, &port, nullptr, ','}};
    Bench() {
        form.BuildCommandFrames();
        form.FillAdvanceList();
        form.Timer1.setEnabled(true);
        form.LinkUp = true;
        form.RpmFactor = 2;
        form.SequencerState = 8;
    }
};

void BM_DecodeAndShowLiveReply(benchmark::State& state) {
    Bench b;
    for (auto _ : state) {
        b.port.receive();
        benchmark::DoNotOptimize(b.form.EngineSpeed);
    }
}
BENCHMARK(BM_DecodeAndShowLiveReply);

void BM_SequencerTickAtIdle(benchmark::State& state) {
    Bench b;
    for (auto _ : state) {
        b.form.SequencerTick();
        benchmark::DoNotOptimize(b.form.SequencerState);
    }
}
BENCHMARK(BM_SequencerTickAtIdle);

}  // namespace

BENCHMARK_MAIN();
