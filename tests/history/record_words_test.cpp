// A record in the fitter's words: results, details, settings and the store's
// errors in Turkish or English, numbers with the fitter's decimal mark.
#include <gtest/gtest.h>

#include "curve/curve_difference.h"
#include "history/record_words.h"

namespace gasecu::history {
namespace {

TEST(RecordWords, ResultsAndDetailsInTheFittersWords) {
    struct Case {
        Kind kind;
        std::string result, detail;
        bool english;
        char mark;
        std::string resultShown, detailShown;
    };
    const Case cases[] = {
        {Kind::Calibration, "converged", "", false, ',', "yakınsadı", ""},
        {Kind::CurveWrite, "differs", "row 4 point 7", false, ',', "geri okunan farklı", "2000 d/d bandı, nokta 7"},
        {Kind::CurveWrite, "refused", "row 1 point 2", true, '.', "cannot be written, not sent", "curve head, point 2"},
        {Kind::SettingWrite, "not-taken", "min-pressure=0.80", false, ',', "alınmadı", "EN AZ BASINÇ = 0,80 bar"},
        {Kind::SettingWrite, "taken", "switch-rpm=1200", true, ',', "taken", "TRANSITION SPEED = 1200 rpm"},
        // A file name keeps its points; an unknown result stays as stored.
        {Kind::FileSave, "something-new", "/home/usta/Cur_01.txt", false, ',', "something-new",
         "/home/usta/Cur_01.txt"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ResultWords(c.result, c.english), c.resultShown);
        EXPECT_EQ(DetailWords(c.kind, c.detail, c.english, c.mark), c.detailShown);
    }
}

TEST(RecordWords, SettingsAndStoreErrors) {
    const auto lines = SettingsWords("coils=4\r\nleak-pressure=1.20\nodd line\n", false, ',');
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].caption + ": " + lines[0].value, "BOBİN SAYISI: 4");
    EXPECT_EQ(lines[1].caption + ": " + lines[1].value, "SIZINTI BASINCI: 1,20 bar");
    EXPECT_EQ(lines[2].caption, "odd line");
    EXPECT_EQ(StoreErrorWords("opening the history: disk I/O error", false),
              "geçmiş açılırken: disk okuma/yazma hatası");
    EXPECT_EQ(StoreErrorWords("opening the history: disk I/O error", true), "opening the history: disk I/O error");
}

TEST(CurveDifference, ListsEachDifferingBandPointInOrder) {
    curve::CurveRows a{}, b{};
    b[3][1] = 5;    // 1000 rpm, point 1
    b[8][18] = 7;   // 6000 rpm, point 18
    b[1][2] = 9;    // the head: not a band point
    const auto d = curve::DifferingPoints(a, b);
    ASSERT_EQ(d.size(), 2u);
    EXPECT_EQ(d[0], (curve::PointDifference{0, 1, 0, 5}));
    EXPECT_EQ(d[1], (curve::PointDifference{5, 18, 0, 7}));
    EXPECT_TRUE(curve::DifferingPoints(a, a).empty());
}

}  // namespace
}  // namespace gasecu::history
