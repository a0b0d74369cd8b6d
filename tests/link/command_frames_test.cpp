#include "link/command_frames.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <string>

#include "app/form1korvane.h"

namespace gasecu {
namespace {

using frames::Crc16;

TEST(CommandFrames, FixedCommandsByteForByte) {
    EXPECT_EQ(frames::kLiveDataRequest, (Bytes{110, 4, 110, 10}));
    EXPECT_EQ(frames::kPetrolCommand, (Bytes{132, 4, 142, 10}));
    EXPECT_EQ(frames::kWriteStartCommand, (Bytes{133, 4, 143, 10}));
    EXPECT_EQ(frames::kGasCommand, (Bytes{144, 4, 154, 10}));
    EXPECT_EQ(frames::kWriteEndCommand, (Bytes{202, 4, 202, 10}));
    EXPECT_EQ(frames::kWriteCloseCommand, (Bytes{5, 4, 5, 10}));
    EXPECT_EQ(frames::kCalibrationBeginCommand, (Bytes{155, 4, 165, 10}));
    EXPECT_EQ(frames::kCalibrationPetrolCommand, (Bytes{111, 4, 121, 10}));
    EXPECT_EQ(frames::kCalibrationGasCommand, (Bytes{122, 4, 132, 10}));
    EXPECT_EQ(frames::kCalibrationEndCommand, (Bytes{156, 4, 166, 10}));
}

TEST(CommandFrames, VariableCommandsByteForByte) {
    EXPECT_EQ(frames::PageRequest(7), (Bytes{109, 5, 7, 66, 10}));
    EXPECT_EQ(frames::CurveBlockRequest(13), (Bytes{106, 5, 13, 63, 10}));
    // Block 10: the value 10 inside the body is not a frame end.
    EXPECT_EQ(frames::CurveBlockRequest(10), (Bytes{106, 5, 10, 63, 10}));
    EXPECT_EQ(frames::CorrectionCommand(1, 0), (Bytes{99, 5, 1, 0, 10}));
    EXPECT_EQ(frames::CorrectionCommand(255, 255), (Bytes{99, 5, 255, 255, 10}));
    EXPECT_EQ(frames::SettingWrite(58, 232), (Bytes{75, 7, 58, 0, 232, 34, 10}));
    EXPECT_EQ(frames::SettingWrite(66, 0), (Bytes{75, 7, 66, 0, 0, 66, 10}));
    EXPECT_EQ(frames::SettingWordWrite(38, 671), (Bytes{76, 8, 38, 0, 159, 2, 199, 10}));
}

TEST(CommandFrames, CheckByteWrapsModulo256) {
    EXPECT_EQ(frames::SettingWrite(59, 202), (Bytes{75, 7, 59, 0, 202, 5, 10}));
    EXPECT_EQ(frames::SettingWrite(255, 255), (Bytes{75, 7, 255, 0, 255, 254, 10}));
    // Word 256: low 0, high 1, never wrapped into a single byte.
    EXPECT_EQ(frames::SettingWordWrite(36, 256), (Bytes{76, 8, 36, 0, 0, 1, 37, 10}));
    EXPECT_EQ(frames::SettingWordWrite(200, 65535), (Bytes{76, 8, 200, 0, 255, 255, 198, 10}));
    // Code and length bytes stay out of the sum.
    EXPECT_EQ(frames::FrameCheck(Bytes{75, 7, 1, 0, 2}), 3);
}

// Every write of the factory load, as the ECU must receive it: a table of the
// expected frames catches any slip in the check byte or the word split.
TEST(CommandFrames, FactorySettingsWritesMatchTheirFrames) {
    struct Row {
        int address;
        int value;
        bool word;
        Bytes frame;
    };
    const Row rows[] = {
        {11, 60, false, {75, 7, 11, 0, 60, 71, 10}},     {32, 90, false, {75, 7, 32, 0, 90, 122, 10}},
        {28, 4, false, {75, 7, 28, 0, 4, 32, 10}},       {31, 2, false, {75, 7, 31, 0, 2, 33, 10}},
        {22, 10, false, {75, 7, 22, 0, 10, 32, 10}},     {29, 1, false, {75, 7, 29, 0, 1, 30, 10}},
        {23, 123, false, {75, 7, 23, 0, 123, 146, 10}},  {24, 129, false, {75, 7, 24, 0, 129, 153, 10}},
        {25, 100, false, {75, 7, 25, 0, 100, 125, 10}},  {57, 60, false, {75, 7, 57, 0, 60, 117, 10}},
        {58, 232, false, {75, 7, 58, 0, 232, 34, 10}},   {59, 202, false, {75, 7, 59, 0, 202, 5, 10}},
        {30, 0, false, {75, 7, 30, 0, 0, 30, 10}},       {27, 0, false, {75, 7, 27, 0, 0, 27, 10}},
        {26, 0, false, {75, 7, 26, 0, 0, 26, 10}},       {33, 100, false, {75, 7, 33, 0, 100, 133, 10}},
        {34, 100, false, {75, 7, 34, 0, 100, 134, 10}},  {35, 100, false, {75, 7, 35, 0, 100, 135, 10}},
        {36, 256, true, {76, 8, 36, 0, 0, 1, 37, 10}},   {38, 671, true, {76, 8, 38, 0, 159, 2, 199, 10}},
        {40, 25, true, {76, 8, 40, 0, 25, 0, 65, 10}},   {42, 153, true, {76, 8, 42, 0, 153, 0, 195, 10}},
        {44, 100, false, {75, 7, 44, 0, 100, 144, 10}},  {45, 231, false, {75, 7, 45, 0, 231, 20, 10}},
        {46, 231, false, {75, 7, 46, 0, 231, 21, 10}},   {47, 85, false, {75, 7, 47, 0, 85, 132, 10}},
        {48, 182, false, {75, 7, 48, 0, 182, 230, 10}},  {49, 0, false, {75, 7, 49, 0, 0, 49, 10}},
        {50, 0, false, {75, 7, 50, 0, 0, 50, 10}},       {55, 50, true, {76, 8, 55, 0, 50, 0, 105, 10}},
        {51, 70, false, {75, 7, 51, 0, 70, 121, 10}},    {53, 60, false, {75, 7, 53, 0, 60, 113, 10}},
        {52, 243, false, {75, 7, 52, 0, 243, 39, 10}},   {61, 125, true, {76, 8, 61, 0, 125, 0, 186, 10}},
        {63, 300, true, {76, 8, 63, 0, 44, 1, 108, 10}}, {65, 11, false, {75, 7, 65, 0, 11, 76, 10}},
    };
    for (const Row& row : rows) {
        const auto built =
            row.word ? frames::SettingWordWrite(row.address, row.value) : frames::SettingWrite(row.address, row.value);
        EXPECT_EQ(built, row.frame) << "address " << row.address;
    }
}

TEST(CommandFrames, ValuesRoundHalfToEvenBeforeBecomingBytes) {
    EXPECT_EQ(frames::ToByte(2.5), 2);
    EXPECT_EQ(frames::ToByte(3.5), 4);
    EXPECT_EQ(frames::ToByte(2.4999), 2);
    EXPECT_EQ(frames::ToByte(254.6), 255);
    EXPECT_EQ(frames::ToByte(-0.4), 0);
    EXPECT_EQ(frames::SettingWrite(30.5, 100.5), (Bytes{75, 7, 30, 0, 100, 130, 10}));
    EXPECT_EQ(frames::SettingWordWrite(36, 256.5), (Bytes{76, 8, 36, 0, 0, 1, 37, 10}));
}

TEST(CommandFrames, RefusesWhatDoesNotFitInsteadOfWrapping) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(frames::ToByte(-1), std::nullopt);
    EXPECT_EQ(frames::ToByte(256), std::nullopt);
    EXPECT_EQ(frames::ToByte(255.5), std::nullopt);  // rounds to 256
    EXPECT_EQ(frames::ToByte(-0.6), std::nullopt);
    EXPECT_EQ(frames::ToByte(nan), std::nullopt);
    EXPECT_EQ(frames::ToByte(inf), std::nullopt);

    EXPECT_EQ(frames::SettingWrite(44, -1), std::nullopt);
    EXPECT_EQ(frames::SettingWrite(44, 256), std::nullopt);
    EXPECT_EQ(frames::SettingWrite(256, 1), std::nullopt);
    EXPECT_EQ(frames::SettingWrite(44, nan), std::nullopt);
    EXPECT_EQ(frames::SettingWordWrite(55, 65536), std::nullopt);
    EXPECT_EQ(frames::SettingWordWrite(55, -1), std::nullopt);
    EXPECT_EQ(frames::SettingWordWrite(-1, 5), std::nullopt);

    EXPECT_EQ(frames::PageRequest(0), std::nullopt);
    EXPECT_EQ(frames::PageRequest(9), std::nullopt);
    EXPECT_NE(frames::PageRequest(1), std::nullopt);
    EXPECT_NE(frames::PageRequest(8), std::nullopt);
    EXPECT_EQ(frames::CurveBlockRequest(9), std::nullopt);
    EXPECT_EQ(frames::CurveBlockRequest(17), std::nullopt);

    EXPECT_EQ(frames::CorrectionCommand(0, 0), std::nullopt);
    EXPECT_EQ(frames::CorrectionCommand(256, 0), std::nullopt);
    EXPECT_EQ(frames::CorrectionCommand(5, 1), std::nullopt);
    EXPECT_EQ(frames::CorrectionCommand(5, 254), std::nullopt);
    EXPECT_EQ(frames::CorrectionCommand(5, -1), std::nullopt);

    std::array<double, 18> data{};
    EXPECT_EQ(frames::CurveBlockWrite(9, data), std::nullopt);
    EXPECT_EQ(frames::CurveBlockWrite(17, data), std::nullopt);
    data[17] = 256;  // a single bad point refuses the whole block
    EXPECT_EQ(frames::CurveBlockWrite(12, data), std::nullopt);
    data[17] = 0;
    data[0] = -1;
    EXPECT_EQ(frames::CurveBlockWrite(12, data), std::nullopt);
}

TEST(CommandFrames, RotateRightThroughCarry) {
    bool carry = true;
    EXPECT_EQ(frames::RotateRightThroughCarry(0b0000'0011, carry), 0b1000'0001);
    EXPECT_TRUE(carry);
    carry = false;
    EXPECT_EQ(frames::RotateRightThroughCarry(0b1111'1110, carry), 0b0111'1111);
    EXPECT_FALSE(carry);
    carry = true;
    EXPECT_EQ(frames::RotateRightThroughCarry(0, carry), 128);
    EXPECT_FALSE(carry);
}

// The plain shift-and-xor form of the same CRC, to check the byte-pair routine against.
std::uint16_t ReferenceCrc(const Bytes& data) {
    std::uint16_t r = 0;
    for (std::uint8_t b : data) {
        r ^= b;
        for (int i = 0; i < 8; ++i) r = (r & 1) ? static_cast<std::uint16_t>((r >> 1) ^ 0xA001) : r >> 1;
    }
    return r;
}

TEST(CommandFrames, BlockCrcIsCrc16Arc) {
    const std::string digits = "123456789";
    EXPECT_EQ(frames::BlockCrc(reinterpret_cast<const std::uint8_t*>(digits.data()), digits.size()), 0xBB3D);
    EXPECT_EQ(frames::BlockCrc(nullptr, 0), 0);

    std::mt19937 rng(7);
    for (int round = 0; round < 200; ++round) {
        Bytes data(1 + rng() % 40);
        for (auto& b : data) b = static_cast<std::uint8_t>(rng());
        ASSERT_EQ(frames::BlockCrc(data.data(), data.size()), ReferenceCrc(data));
    }
}

TEST(CommandFrames, CurveBlockWriteFrame) {
    std::array<double, 18> zeros{};
    const auto frame = frames::CurveBlockWrite(10, zeros);
    ASSERT_TRUE(frame);
    ASSERT_EQ(frame->size(), 24u);
    EXPECT_EQ((*frame)[0], 77);
    EXPECT_EQ((*frame)[1], 24);
    EXPECT_EQ((*frame)[2], 10);
    // Register 0xDA2A, sent low byte first.
    EXPECT_EQ(Bytes(frame->end() - 4, frame->end()), (Bytes{0, 42, 218, 10}));

    std::array<double, 18> full;
    full.fill(255);
    std::array<double, 18> ramp;
    for (std::size_t i = 0; i < ramp.size(); ++i) ramp[i] = 10.0 * static_cast<double>(i) + 0.5;
    for (const auto& data : {full, ramp}) {
        const auto f = frames::CurveBlockWrite(16, data);
        ASSERT_TRUE(f);
        ASSERT_EQ(f->size(), 24u);
        const Bytes covered(f->begin(), f->begin() + 21);
        const std::uint16_t crc = ReferenceCrc(covered);
        EXPECT_EQ((*f)[21], crc & 0xFF);
        EXPECT_EQ((*f)[22], crc >> 8);
        EXPECT_EQ((*f)[23], 10);
    }
    // 0.5, 10.5, 20.5 ... round to the even neighbour: 0, 10, 20, 30, 40 ...
    const auto r = frames::CurveBlockWrite(11, ramp);
    EXPECT_EQ((*r)[3], 0);
    EXPECT_EQ((*r)[4], 10);
    EXPECT_EQ((*r)[5], 20);
}

TEST(CommandFrames, FormCrcRegisterFollowsTheFrameBytes) {
    Form1Korvane form({});
    Bytes covered{77, 24, 10};
    covered.resize(21, 0);
    form.CrcLow = 0;
    form.CrcHigh = 0;
    for (std::uint8_t b : covered) form.CrcAddByte(b);
    EXPECT_EQ(form.CrcLow, 0x2A);
    EXPECT_EQ(form.CrcHigh, 0xDA);
}

TEST(CommandFrames, PreparedTables) {
    Form1Korvane form({});
    form.BuildCommandFrames();
    EXPECT_EQ(form.LiveDataRequest, (Bytes{110, 4, 110, 10}));
    EXPECT_TRUE(form.PageRequestFrames[0].empty());
    const int pages[] = {1, 8, 2, 3, 4, 5};
    for (int i = 1; i <= 6; ++i)
        EXPECT_EQ(form.PageRequestFrames[i], (Bytes{109, 5, static_cast<std::uint8_t>(pages[i - 1]), 66, 10}))
            << "entry " << i;
    EXPECT_TRUE(form.CurveBlockRequestFrames[0].empty());
    const int blocks[] = {10, 12, 13, 14, 15, 16, 16};
    for (int i = 1; i <= 7; ++i)
        EXPECT_EQ(form.CurveBlockRequestFrames[i], (Bytes{106, 5, static_cast<std::uint8_t>(blocks[i - 1]), 63, 10}))
            << "entry " << i;
    for (const Bytes& f : form.CurveBlockRequestFrames) EXPECT_TRUE(f.empty() || f[2] != 11);
}

TEST(CommandFrames, SendFrameWithoutPortDoesNothing) {
    Form1Korvane form({});
    form.SendFrame(frames::kLiveDataRequest);  // no port: dropped, no crash
    EXPECT_FALSE(form.LinkGuard());
}

}  // namespace
}  // namespace gasecu
