#include "link/frame_check.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "link/command_frames.h"

namespace gasecu {
namespace {

using frames::FrameFault;

Bytes Block(double block, double value) {
    std::array<double, 18> data{};
    data.fill(value);
    return *frames::CurveBlockWrite(block, data);
}

Bytes With(Bytes frame, std::size_t index, std::uint8_t value) {
    frame[index] = value;
    return frame;
}

// Every frame the builders make passes; each kind of damage a line or a wrong
// builder could do is named.
TEST(FrameCheck, NamesEachFault) {
    const Bytes setting = *frames::SettingWrite(58, 232);
    const Bytes word = *frames::SettingWordWrite(38, 671);
    const Bytes block = Block(13, 10);
    struct Case {
        const char* what;
        Bytes frame;
        FrameFault expected;
    };
    const std::vector<Case> cases{
        {"live request", frames::kLiveDataRequest, FrameFault::None},
        {"write close", frames::kWriteCloseCommand, FrameFault::None},
        {"calibration end", frames::kCalibrationEndCommand, FrameFault::None},
        {"page 8", *frames::PageRequest(8), FrameFault::None},
        {"header block", *frames::CurveBlockRequest(10), FrameFault::None},
        {"correction", *frames::CorrectionCommand(255, 255), FrameFault::None},
        {"setting", setting, FrameFault::None},
        {"word", word, FrameFault::None},
        {"block of tens", block, FrameFault::None},
        {"empty", {}, FrameFault::UnknownCode},
        {"unknown code", {7, 4, 7, 10}, FrameFault::UnknownCode},
        {"fixed frame cut", {110, 4, 110}, FrameFault::WrongLength},
        {"code alone", {110}, FrameFault::WrongLength},
        {"fixed frame wrong third", {132, 4, 132, 10}, FrameFault::FixedByte},
        {"fixed frame no line feed", {132, 4, 142, 13}, FrameFault::NoLineFeed},
        {"page 0", {109, 5, 0, 66, 10}, FrameFault::OutOfRange},
        {"page 9", {109, 5, 9, 66, 10}, FrameFault::OutOfRange},
        {"page constant", {109, 5, 1, 63, 10}, FrameFault::FixedByte},
        {"block 17", {106, 5, 17, 63, 10}, FrameFault::OutOfRange},
        {"correction of 0 steps", {99, 5, 0, 0, 10}, FrameFault::OutOfRange},
        {"correction direction 1", {99, 5, 3, 1, 10}, FrameFault::OutOfRange},
        {"setting check", With(setting, 5, static_cast<std::uint8_t>(setting[5] + 1)), FrameFault::BadCheck},
        {"setting value changed", With(setting, 4, 231), FrameFault::BadCheck},
        {"setting zero byte", With(setting, 3, 1), FrameFault::OutOfRange},
        {"setting length byte", With(setting, 1, 8), FrameFault::WrongLength},
        {"setting no line feed", With(setting, 6, 0), FrameFault::NoLineFeed},
        {"word check", With(word, 6, 0), FrameFault::BadCheck},
        {"word at the last address", {76, 8, 255, 0, 1, 0, 0, 10}, FrameFault::OutOfRange},
        {"block data changed", With(block, 7, 11), FrameFault::BadCrc},
        {"block CRC high", With(block, 22, static_cast<std::uint8_t>(block[22] ^ 1)), FrameFault::BadCrc},
        {"block number 9", With(block, 2, 9), FrameFault::OutOfRange},
        {"block cut", Bytes(block.begin(), block.end() - 1), FrameFault::WrongLength},
    };
    for (const Case& c : cases)
        EXPECT_EQ(frames::CheckToolFrame(c.frame), c.expected)
            << c.what << ": " << frames::FrameFaultName(frames::CheckToolFrame(c.frame));
}

// Any one byte changed in a checked write is caught: the check byte and the CRC
// are what stand between a loose connector and a wrong setting or curve.
TEST(FrameCheck, EveryChangedByteOfAWriteIsCaught) {
    for (const Bytes& frame : {*frames::SettingWrite(47, 85), *frames::SettingWordWrite(55, 300), Block(16, 200)}) {
        for (std::size_t i = 0; i < frame.size(); ++i)
            for (int delta : {1, 128}) {
                const Bytes changed = With(frame, i, static_cast<std::uint8_t>(frame[i] + delta));
                EXPECT_NE(frames::CheckToolFrame(changed), FrameFault::None) << "byte " << i << " +" << delta;
            }
    }
}

}  // namespace
}  // namespace gasecu
