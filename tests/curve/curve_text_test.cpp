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

    // LF alone does not end a line: the whole file is one line, refused for its line ends.
    CurveTextError error;
    EXPECT_FALSE(ParseCurveText(Lines({"1 2 ", kAxis, kAxis, kAxis, kAxis, kAxis, kAxis, kAxis, "<::::> "}, "\n"), &error));
    EXPECT_EQ(error.line, 1);
    EXPECT_EQ(error.reason, "line ends must be CR LF, this file ends lines with LF alone");
}

TEST(CurveText, NumbersAndTheirFaults) {
    auto withHeader = [](const std::string& header) {
        return ParseCurveText(Lines({header, kAxis, kAxis, kAxis, kAxis, kAxis, kAxis, kAxis, "<::::> "}));
    };
    auto ok = withHeader("-3 +4 2.5 3.5 -32768 32767 7");  // the 7 has no blank after it, and counts
    ASSERT_TRUE(ok);
    EXPECT_EQ(ok->pointCount[1], 7);
    EXPECT_EQ(ok->values[1][7], 7);
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

TEST(CurveText, TheLastNumberOfALineCountsWithOrWithoutItsBlank) {
    // A hand-edited head without its final blank: the sixth value is 122, not
    // whatever the table held before.
    const std::string bands = kAxis + "\r\n";
    std::string body;
    for (int i = 0; i < 7; ++i) body += bands;
    for (const char* head : {"5 25 116 110 134 122 ", "5 25 116 110 134 122"}) {
        SCOPED_TRACE(head);
        auto parsed = ParseCurveText(std::string(head) + "\r\n" + body + "<::::> \r\n");
        ASSERT_TRUE(parsed);
        EXPECT_EQ(parsed->pointCount[1], 6);
        EXPECT_EQ(parsed->values[1][6], 122);
    }
    // A band line without its final blank keeps its eighteenth point.
    auto band = ParseCurveText(Lines({"5 25 116 110 134 122 ", kAxis, kAxis.substr(0, kAxis.size() - 1), kAxis, kAxis,
                                      kAxis, kAxis, kAxis, "<::::> "}));
    ASSERT_TRUE(band);
    EXPECT_EQ(band->pointCount[3], 18);
    EXPECT_EQ(band->values[3][18], 540);
    // Nineteen numbers are still too many, with or without the blank.
    EXPECT_FALSE(ParseCurveText(Lines({"1 ", kAxis, kAxis + "570", kAxis, kAxis, kAxis, kAxis, kAxis, "<::::> "})));
}

TEST(CurveText, AFaultyFileIsRefusedWithTheCauseTheFitterCanMend) {
    const std::string good = Lines({"4 25 116 110 134 122 ", kAxis, kAxis, kAxis, kAxis, kAxis, kAxis, kAxis, "<::::> "});
    struct Case {
        const char* name;
        std::string text;
        int line;
        std::string reason;
    };
    std::string crInBand = good;
    crInBand.replace(crInBand.find("\r\n", 30), 2, "\n");  // one line ended by LF alone
    const Case cases[] = {
        {"LF-only line ends", Lines({"4 25 116 110 134 122 ", kAxis, kAxis, kAxis, kAxis, kAxis, kAxis, kAxis,
                                     "<::::> "}, "\n"),
         1, "line ends must be CR LF, this file ends lines with LF alone"},
        {"one line ended by LF alone", crInBand, 2, "line ends must be CR LF, this file ends lines with LF alone"},
        {"UTF-8 byte order mark", "\xEF\xBB\xBF" + good, 1, "starts with a UTF-8 byte order mark, save it as plain text"},
        {"UTF-16", std::string("\xFF\xFE" "4\0 \0", 6), 1, "UTF-16 text, save it as plain text"},
        {"eight lines", Lines({"4 25 ", kAxis, kAxis, kAxis, kAxis, kAxis, kAxis, kAxis}), 9, "fewer than nine lines"},
        {"a letter", Lines({"4 25 ", kAxis, "3O ", kAxis, kAxis, kAxis, kAxis, kAxis, "<::::> "}), 3,
         "bad number at point 1"},
        {"nineteen numbers", Lines({"4 ", kAxis, kAxis, kAxis, kAxis + "1 ", kAxis, kAxis, kAxis, "<::::> "}), 5,
         "more than 18 numbers"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CurveTextError error;
        EXPECT_FALSE(ParseCurveText(c.text, &error));
        EXPECT_EQ(error.line, c.line);
        EXPECT_EQ(error.reason, c.reason);
        EXPECT_FALSE(error.turkishReason.empty());
    }
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
