#include <gtest/gtest.h>

#include "tool_frames.h"
#include "virtual_ecu.h"

// Its own namespace: the unity build may batch it with virtual_ecu_test.cpp,
// whose helpers carry the same names.
namespace gasecu::sim::storage_test {
namespace {

using test::CurveBlockWriteFrame;
using test::SettingWordWriteFrame;
using test::SettingWriteFrame;

Bytes Page(int page) { return {109, 5, static_cast<std::uint8_t>(page), 66, 10}; }
Bytes Block(int block) { return {106, 5, static_cast<std::uint8_t>(block), 63, 10}; }

Bytes Ask(VirtualEcu& ecu, const Bytes& frame) {
    auto chunks = ecu.onBytes(frame, 0);
    return chunks.size() == 1 ? chunks[0].bytes : Bytes{};
}

TEST(EcuStorage, SettingWritesWithTheRightCheckAreStoredAndShownOnThePages) {
    VirtualEcu ecu;
    EXPECT_TRUE(ecu.onBytes(SettingWriteFrame(31, 4), 0).empty());  // writes get no reply
    EXPECT_TRUE(ecu.onBytes(SettingWriteFrame(47, 120), 0).empty());
    EXPECT_TRUE(ecu.onBytes(SettingWordWriteFrame(55, 700), 0).empty());
    EXPECT_TRUE(ecu.onBytes(SettingWriteFrame(53, 10), 0).empty());  // value 10 in the body
    EXPECT_EQ(ecu.counters().settingsStored, 4u);
    EXPECT_EQ(Ask(ecu, Page(1))[5], 4);
    EXPECT_EQ(Ask(ecu, Page(4))[5], 120);
    Bytes p5 = Ask(ecu, Page(5));
    EXPECT_EQ(p5[2], 700 % 256);
    EXPECT_EQ(p5[3], 2);
    EXPECT_EQ(p5[11], 10);
    // Word 256 goes out as low 0, high 1.
    ecu.onBytes(SettingWordWriteFrame(36, 256), 0);
    EXPECT_EQ(ecu.memory().settingWord(36), 256);
}

TEST(EcuStorage, WritesWithAWrongCheckAreIgnoredAndCounted) {
    VirtualEcu ecu;
    Bytes bad = SettingWriteFrame(31, 4);
    bad[5] ^= 1;
    Bytes badWord = SettingWordWriteFrame(55, 700);
    badWord[6] += 1;
    ecu.onBytes(bad, 0);
    ecu.onBytes(badWord, 0);
    EXPECT_EQ(ecu.setting(31), 2);
    EXPECT_EQ(ecu.memory().settingWord(55), 50);
    EXPECT_EQ(ecu.counters().badCheckWrites, 2u);
    EXPECT_EQ(ecu.counters().settingsStored, 0u);

    std::array<std::uint8_t, 18> rises{};
    rises.fill(7);
    Bytes block = CurveBlockWriteFrame(11, rises);
    block[21] ^= 0x80;  // CRC low byte
    ecu.onBytes(block, 0);
    Bytes flipped = CurveBlockWriteFrame(11, rises);
    flipped[5] = 8;  // a data byte changed on the way
    ecu.onBytes(flipped, 0);
    EXPECT_EQ(ecu.counters().badCrcBlocks, 2u);
    EXPECT_EQ(ecu.memory().curveBlock(11)[0], 5);  // the default curve is untouched
}

TEST(EcuStorage, KnownCrcAndLineFeedsInTheBodyOfABlockWrite) {
    // Block 10 with 18 zeros ends 42, 218: the CRC-16/ARC the ECU checks.
    std::array<std::uint8_t, 18> zeros{};
    Bytes f = CurveBlockWriteFrame(10, zeros);
    EXPECT_EQ(f[21], 42);
    EXPECT_EQ(f[22], 218);
    VirtualEcu ecu;
    std::array<std::uint8_t, 18> tens{};
    tens.fill(10);  // every data byte a line feed: the length byte decides the end
    ecu.onBytes(CurveBlockWriteFrame(12, tens), 0);
    EXPECT_EQ(ecu.counters().blocksStored, 1u);
    EXPECT_EQ(ecu.memory().curveBlock(12), tens);
    EXPECT_EQ(ecu.counters().skippedBytes, 0u);
}

TEST(EcuStorage, FaultClearWritesZeroToTheRecords) {
    VirtualEcu ecu;
    for (int a = 66; a <= 86; ++a) ecu.setSetting(a, a - 60);
    Bytes p6 = Ask(ecu, Page(6));
    EXPECT_EQ(p6[6], 6);
    EXPECT_EQ(p6[7], 7);
    EXPECT_EQ(p6[9], 8);
    EXPECT_EQ(Ask(ecu, Page(7))[9], 9);
    // The tool's fault clear: address a, zero, check a.
    for (int a = 66; a <= 86; ++a) ecu.onBytes({75, 7, static_cast<std::uint8_t>(a), 0, 0, static_cast<std::uint8_t>(a), 10}, 0);
    for (int a = 66; a <= 86; ++a) EXPECT_EQ(ecu.setting(a), 0) << a;
    p6 = Ask(ecu, Page(6));
    EXPECT_EQ(p6[6] + p6[7] + p6[9], 0);
    EXPECT_EQ(Ask(ecu, Page(7))[9], 0);
}

TEST(EcuStorage, FactorySettingsAreTheDefaults) {
    VirtualEcu ecu;
    for (const FactorySetting& s : kFactorySettings) {
        int stored = s.word ? ecu.memory().settingWord(s.address) : ecu.setting(s.address);
        EXPECT_EQ(stored, s.value) << s.address;
    }
}

// The tool's curve: header row 1 (idle level at point 2), six bands as levels.
struct ToolCurve {
    std::array<std::uint8_t, 18> head{};
    std::array<std::array<int, 18>, 6> bands{};
};

// The tool's write: head as block 10, band b (1..6) as rises in block 10 + b.
void WriteLikeTheTool(VirtualEcu& ecu, const ToolCurve& c) {
    ecu.onBytes({133, 4, 143, 10}, 0);
    ecu.onBytes(CurveBlockWriteFrame(10, c.head), 0);
    for (int b = 0; b < 6; ++b) {
        std::array<std::uint8_t, 18> rises{};
        int previous = c.head[1];
        for (int p = 0; p < 18; ++p) {
            rises[p] = static_cast<std::uint8_t>(c.bands[b][p] - previous);
            previous = c.bands[b][p];
        }
        ecu.onBytes(CurveBlockWriteFrame(11 + b, rises), 0);
    }
    ecu.onBytes({202, 4, 202, 10}, 0);
    ecu.onBytes({5, 4, 5, 10}, 0);
}

// The tool's read: the head before each of the band requests 12, 13, 14, 15, 16, 16,
// bands rebuilt by running sums from the idle level of the head.
ToolCurve ReadLikeTheTool(VirtualEcu& ecu) {
    ToolCurve c;
    const int requests[6] = {12, 13, 14, 15, 16, 16};
    for (int b = 0; b < 6; ++b) {
        Bytes head = Ask(ecu, Block(10));
        EXPECT_EQ(head.size(), 13u);
        for (int i = 0; i < 6; ++i) c.head[i] = head[2 + i];
        Bytes band = Ask(ecu, Block(requests[b]));
        EXPECT_EQ(band.size(), 20u);
        int sum = head[3];
        for (int p = 0; p < 18; ++p) c.bands[b][p] = sum += band[1 + p];
    }
    return c;
}

TEST(EcuStorage, CurveWrittenLikeTheToolReadsBackTheSame) {
    VirtualEcu ecu;
    ToolCurve written;
    written.head = {4, 20, 116, 110, 134, 122};
    for (int b = 0; b < 6; ++b)
        for (int p = 0; p < 18; ++p) written.bands[b][p] = 20 + (b + 1) * 3 + p * (10 + b) + (b == 2 && p >= 5 ? 200 : 0);
    WriteLikeTheTool(ecu, written);
    EXPECT_EQ(ecu.counters().blocksStored, 7u);
    ToolCurve read = ReadLikeTheTool(ecu);
    EXPECT_EQ(read.head, written.head);
    for (int b = 0; b < 6; ++b) EXPECT_EQ(read.bands[b], written.bands[b]) << "band " << b + 1;
    // A second read gives the same again.
    ToolCurve again = ReadLikeTheTool(ecu);
    EXPECT_EQ(again.bands, written.bands);
}

TEST(EcuStorage, RepeatedBandRequestAfterALostReplyGetsTheSameBlock) {
    VirtualEcu ecu;
    for (int b = 1; b <= 6; ++b) {
        std::array<std::uint8_t, 18> rises{};
        rises.fill(static_cast<std::uint8_t>(b));
        ecu.memory().setCurveBlock(10 + b, rises);
    }
    // Band 2 (request 13) asked twice, as after a rejected reply.
    Ask(ecu, Block(10));
    EXPECT_EQ(Ask(ecu, Block(13))[1], 2);
    Ask(ecu, Block(10));
    EXPECT_EQ(Ask(ecu, Block(13))[1], 2);
    // Bands 5 and 6: 16 after 15 is band 5, 16 after 16 is band 6.
    Ask(ecu, Block(15));
    EXPECT_EQ(Ask(ecu, Block(16))[1], 5);
    Ask(ecu, Block(10));
    EXPECT_EQ(Ask(ecu, Block(16))[1], 6);
}

}  // namespace
}  // namespace gasecu::sim::storage_test
