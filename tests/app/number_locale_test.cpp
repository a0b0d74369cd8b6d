// Numbers on a machine whose region writes a decimal comma. A Qt program switches
// the C library to the user's region at start; nothing the screen or the command
// line shows or reads may change with it. These cases run in the plain suite and
// again under LC_ALL=tr_TR.UTF-8 (see tests/CMakeLists.txt).
#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <string>

#include "app/number_format.h"
#include "curve/curve_bands.h"
#include "support/link_harness.h"

namespace gasecu {
namespace {

// Switches the C library to the Turkish region for one test, as QCoreApplication
// does at start on such a machine, and back afterwards.
class UnderTurkishLocale : public ::testing::Test {
protected:
    // The region's name as each C library knows it: Windows names the language,
    // the country and the code page.
#ifdef _WIN32
    static constexpr const char* kTurkish = "Turkish_Turkey.1254";
#else
    static constexpr const char* kTurkish = "tr_TR.UTF-8";
#endif

    void SetUp() override {
        saved_ = std::setlocale(LC_ALL, nullptr);
        if (std::setlocale(LC_ALL, kTurkish) == nullptr) {
            // The locale CTest entry must really run under it.
            if (std::getenv("GASECU_REQUIRE_TR_LOCALE")) FAIL() << kTurkish << " is not installed";
            GTEST_SKIP() << kTurkish << " is not installed (scripts/bootstrap.sh installs it)";
        }
        ASSERT_STREQ(std::localeconv()->decimal_point, ",");
    }
    void TearDown() override { std::setlocale(LC_ALL, saved_.c_str()); }

private:
    std::string saved_;
};

TEST_F(UnderTurkishLocale, FormatUsesOnlyTheSeparatorItIsGiven) {
    EXPECT_EQ(FormatFixed(2.5, 2, '.'), "2.50");  // the command line's columns
    EXPECT_EQ(FormatFixed(2.5, 2, ','), "2,50");
    EXPECT_EQ(FormatFixed(-3.456, 1, '.'), "-3.5");
    EXPECT_EQ(FormatFixed(12000, 0, ','), "12000");
}

TEST_F(UnderTurkishLocale, ParseReadsEitherDecimalMark) {
    struct Case {
        const char* text;
        double value;
    } const cases[] = {
        {"2,50", 2.5}, {"2.50", 2.5}, {" 40,00 ", 40}, {"-0,41", -0.41}, {"+1.5", 1.5}, {"12000", 12000},
        {"1,2,3", 0},  {"1.2,3", 0},  {"abc", 0},      {"", 0},          {"+-1", 0},    {"1e3", 0},
    };
    for (const Case& c : cases) EXPECT_DOUBLE_EQ(ParseDecimalNumber(c.text), c.value) << c.text;
    EXPECT_DOUBLE_EQ(ParseLeadingNumber("1.20"), 1.2);
    EXPECT_DOUBLE_EQ(ParseLeadingNumber("-2.5x"), -2.5);
}

// The idle button takes the petrol time on screen ("2,50" on this machine) as the
// idle level; read as 0 it would flatten the curve's idle start.
TEST_F(UnderTurkishLocale, IdleButtonTakesThePetrolTimeOnScreen) {
    test::LinkHarness h(',', 1);
    h.ecu.engine().setPetrolTimeOnPetrol(3.0);
    ASSERT_TRUE(h.connect());
    h.runner.runFor(3000);
    const std::string shown = h.form.TextBenzinMS.text;
    ASSERT_NE(shown.find(','), std::string::npos) << shown;
    const double petrol = ParseDecimalNumber(shown);
    ASSERT_GT(petrol, 1.0) << shown;
    EXPECT_DOUBLE_EQ(h.form.DisplayedPetrolTime, petrol);
    h.form.Rolanti_Click();
    EXPECT_DOUBLE_EQ(h.form.CurveTable[curve::kHeaderRow][curve::kIdleLevel], RoundHalfAway(petrol / 0.05));
}

}  // namespace
}  // namespace gasecu
