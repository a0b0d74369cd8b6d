// The curve text format on its own: what a file must hold to be taken over.
#include <gtest/gtest.h>

#include "app/default_curve.h"
#include "curve/curve_text.h"

namespace gasecu::curve {
namespace {

std::string Lines(std::initializer_list<std::string> lines, const std::string& end = "\r\n") {
    std::string s;
    for (const auto& l : lines) s += l + end;
    return s;
}

const std::string kAxis = "30 60 90 120 150 180 210 240 270 300 330 360 390 420 450 480 510 540 ";

TEST(CurveText, DefaultFileParsesAndFormatsBackByteForByte) {
    auto parsed = ParseCurveText(DefaultCurveFileText());
    ASSERT_TRUE(parsed);
    EXPECT_TRUE(parsed->endMarkerValid);
    EXPECT_EQ(parsed->pointCount[1], 6);
    EXPECT_EQ(parsed->values[1][2], 25);
    EXPECT_EQ(parsed->values[8][18], 540);
    CurveRows table{};
    parsed->applyTo(table);
    EXPECT_EQ(FormatCurveText(table), DefaultCurveFileText());
}

TEST(CurveText, LineEndsAndWhatFollowsLineNine) {
    // CR alone ends a line too; the last line needs no line end; anything after
    // line 9 is ignored.
    std::string text = Lines({"1 2 ", kAxis, kAxis, kAxis, kAxis, kAxis, kAxis, kAxis}, "\r") + "<::::> ";
    auto parsed = ParseCurveText(text);
    ASSERT_TRUE(parsed);
    EXPECT_TRUE(parsed->endMarkerValid);
    EXPECT_TRUE(ParseCurveText(text + "\r\nanything at all\r\n"));

    // LF alone does not end a line: the whole file is one line.
    CurveTextError error;
    EXPECT_FALSE(ParseCurveText(Lines({"1 2 ", kAxis, kAxis, kAxis, kAxis, kAxis, kAxis, kAxis, "<::::> "}, "\n"), &error));
    EXPECT_EQ(error.reason, "fewer than nine lines");
}

TEST(CurveText, NumbersAndTheirFaults) {
    auto withHeader = [](const std::string& header) {
        return ParseCurveText(Lines({header, kAxis, kAxis, kAxis, kAxis, kAxis, kAxis, kAxis, "<::::> "}));
    };
    auto ok = withHeader("-3 +4 2.5 3.5 -32768 32767 7");  // the 7 has no blank after it
    ASSERT_TRUE(ok);
    EXPECT_EQ(ok->pointCount[1], 6);
    EXPECT_EQ(ok->values[1][1], -3);
    EXPECT_EQ(ok->values[1][2], 4);
    EXPECT_EQ(ok->values[1][3], 2);  // halves to the even neighbour
    EXPECT_EQ(ok->values[1][4], 4);
    EXPECT_EQ(ok->values[1][5], -32768);
    EXPECT_EQ(ok->values[1][6], 32767);

    auto long_header = withHeader("1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 ");
    ASSERT_TRUE(long_header);
    EXPECT_EQ(long_header->values[1][18], 18);

    CurveTextError error;
    EXPECT_FALSE(withHeader("1  2 "));  // two blanks: an empty number
    EXPECT_FALSE(withHeader(" 1 "));
    EXPECT_FALSE(withHeader("32768 "));
    EXPECT_FALSE(withHeader("-32769 "));
    EXPECT_FALSE(withHeader("1e3 "));
    EXPECT_FALSE(withHeader("- "));
    EXPECT_FALSE(withHeader("1.2.3 "));
    EXPECT_FALSE(withHeader("12\t13 "));
    EXPECT_FALSE(ParseCurveText(Lines({"1 ", kAxis, kAxis + "570 ", kAxis, kAxis, kAxis, kAxis, kAxis, "<::::> "}), &error));
    EXPECT_EQ(error.line, 3);
    EXPECT_EQ(error.reason, "more than 18 numbers");
}

TEST(CurveText, FormatWritesWholeNumbersEachFollowedByABlank) {
    CurveRows table{};
    table[1] = {0, 4, -25, 116, 110, 134, 122, 99};  // point 7 of the head is not written
    table[8][18] = -3;
    std::string text = FormatCurveText(table);
    EXPECT_EQ(text.substr(0, text.find('\r')), "4 -25 116 110 134 122 ");
    EXPECT_NE(text.find(" -3 \r\n<::::> \r\n"), std::string::npos);
    EXPECT_EQ(text.substr(text.size() - 9), "<::::> \r\n");
}

}  // namespace
}  // namespace gasecu::curve
