#include "calibration/calibration_bench.h"

#include <cmath>
#include <fstream>

#include "sensor_codes.h"

namespace gasecu::test {

namespace {
constexpr double kCorrectionStepMs = 0.00407;
}

Bytes ScriptedEngine::liveReply() const {
    const int petrolRaw = static_cast<int>(std::lround((onGas ? petrolOnPetrolMs + mismatchMs : petrolOnPetrolMs) * 250));
    const int period = static_cast<int>(std::lround(60.0 * 250000.0 / rpm));  // one coil pair: factor 1
    return Reply13({{2, onGas ? 1 : 2},
                    {3, petrolRaw & 0xFF},
                    {4, petrolRaw >> 8},
                    {5, gasRaw & 0xFF},
                    {6, gasRaw >> 8},
                    {7, period & 0xFF},
                    {8, period >> 8},
                    {9, sim::PressureCode(pressureBar)},
                    {11, sim::TemperatureCode(reducerC)},
                    {12, sim::TemperatureCode(gasC)}});
}

void ScriptedEngine::take(const Bytes& frame) {
    switch (frame[0]) {
        case 132:  // petrol
        case 111:  // calibration: petrol
        case 133:  // write start
            onGas = false;
            break;
        case 122:  // calibration: gas
            onGas = true;
            break;
        case 99: {  // direction 0: petrol time too long on gas, more gas
            const double ms = frame[2] * kCorrectionStepMs * correctionShare;
            mismatchMs += frame[3] == 0 ? -ms : ms;
            break;
        }
        default:
            break;
    }
}

CalibrationBench::CalibrationBench(char separator, double language)
    : link(separator, language), form(link.form), runner(link.runner) {
    link.port.peer = [this](int, const Bytes& frame) -> Bytes {
        engine.take(frame);
        return frame[0] == 110 ? engine.liveReply() : Bytes{};
    };
    link.port.open();
    form.LinkUp = true;
    form.RpmFactor = 1;
    form.SequencerState = 8;
    writeReference(ReferenceText(100));
}

std::string CalibrationBench::ReferenceText(int bandValue) {
    std::string band;
    for (int p = 0; p < 18; ++p) band += std::to_string(bandValue) + " ";
    std::string text = "4 25 116 110 134 122 \r\n";
    text += "30 60 90 120 150 180 210 240 270 300 330 360 390 420 450 480 510 540 \r\n";
    for (int row = 3; row <= 8; ++row) text += band + "\r\n";
    return text + "<::::> \r\n";
}

void CalibrationBench::writeReference(const std::string& text) const {
    std::ofstream(link.dir.path() / "ORJ.DAT", std::ios::binary) << text;
}

void CalibrationBench::start() {
    // The fitter watches the live values for a moment before pressing start.
    runner.runFor(1000);
    form.ButonAyar_Click();
    form.KalibrasyonBaşlatButon_Click();
}

bool CalibrationBench::runToEnd(double maxMs) {
    return runner.runUntil([this] { return !form.CalibrationRunning && form.SequencerState == 8; }, maxMs);
}

bool CalibrationBench::runUntilStep(double step, double maxMs) {
    return runner.runUntil([this, step] { return form.SequencerState == step; }, maxMs);
}

std::vector<Bytes> CalibrationBench::framesWithCode(int code) const {
    std::vector<Bytes> out;
    for (const sim::SentFrame& f : runner.sentFrames())
        if (f.bytes[0] == code) out.push_back(f.bytes);
    return out;
}

double CalibrationBench::firstTime(const Bytes& frame, double from) const {
    for (const sim::SentFrame& f : runner.sentFrames())
        if (f.timeMs >= from && f.bytes == frame) return f.timeMs;
    return -1;
}

}  // namespace gasecu::test
