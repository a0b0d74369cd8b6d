// Numbers on screen and typed into the settings boxes.
#include <gtest/gtest.h>

#include "app/number_format.h"

namespace gasecu {
namespace {

TEST(NumberFormat, FixedDecimalsWithRegionalSeparatorAndNoGrouping) {
    EXPECT_EQ(FormatFixed(12000, 0, ','), "12000");
    EXPECT_EQ(FormatFixed(40, 2, ','), "40,00");
    EXPECT_EQ(FormatFixed(40, 2, '.'), "40.00");
    EXPECT_EQ(FormatFixed(0.125, 2, '.'), "0.13");  // decimal half rounds up, not binary-down
    EXPECT_EQ(FormatFixed(104.2048, 1, ','), "104,2");
    EXPECT_EQ(FormatFixed(-0.001, 2, '.'), "0.00");
    EXPECT_EQ(FormatFixed(-3.456, 1, '.'), "-3.5");
}

TEST(NumberFormat, DisplayedNumbersReadBackWithEitherDecimalMark) {
    EXPECT_DOUBLE_EQ(ParseDecimalNumber("4,25"), 4.25);
    EXPECT_DOUBLE_EQ(ParseDecimalNumber("4.25"), 4.25);
    EXPECT_DOUBLE_EQ(ParseDecimalNumber(" 12000 "), 12000);
    EXPECT_DOUBLE_EQ(ParseDecimalNumber("40,00"), 40);  // a fixed limit text on a point machine
    EXPECT_DOUBLE_EQ(ParseDecimalNumber(""), 0);
    EXPECT_DOUBLE_EQ(ParseDecimalNumber("abc"), 0);
}

TEST(NumberFormat, SettingEntryTakesTheLeadingNumberWithAPointOrAComma) {
    EXPECT_DOUBLE_EQ(ParseLeadingNumber("1.20"), 1.2);
    EXPECT_DOUBLE_EQ(ParseLeadingNumber("1,20"), 1.2);  // the regional comma is a decimal mark too
    EXPECT_DOUBLE_EQ(ParseLeadingNumber("1,2,5"), 1.2);  // a second mark ends the number
    EXPECT_DOUBLE_EQ(ParseLeadingNumber(" 1 2 34 "), 1234);
    EXPECT_DOUBLE_EQ(ParseLeadingNumber("-2.5x"), -2.5);
    EXPECT_DOUBLE_EQ(ParseLeadingNumber("1e2"), 100);
    EXPECT_DOUBLE_EQ(ParseLeadingNumber("abc"), 0);
    EXPECT_DOUBLE_EQ(ParseLeadingNumber("0.123456"), 0.1235);  // four decimals
}

TEST(NumberFormat, RoundingModes) {
    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(3.5), 4);
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
    EXPECT_EQ(RoundHalfEven(122.85), 123);
    EXPECT_EQ(RoundHalfAway(12.5), 13);
    EXPECT_EQ(RoundHalfAway(-0.5), -1);
}

}  // namespace
}  // namespace gasecu
