// The curve file-name rule, as both the window and the service commands apply it.
#include <gtest/gtest.h>

#include "curve/curve_file_name.h"

namespace gasecu {
namespace {

TEST(CurveFileName, LastTenCharactersBeginWithCur) {
    EXPECT_TRUE(curve::FollowsCurveFileNameRule("/home/usta/Cur_05.txt"));
    EXPECT_TRUE(curve::FollowsCurveFileNameRule("Cur_05.txt"));       // exactly ten characters
    EXPECT_FALSE(curve::FollowsCurveFileNameRule("Cur_5.txt"));       // nine: too short
    EXPECT_TRUE(curve::FollowsCurveFileNameRule("/x/Cur_xx.dat"));    // the rest is not checked
    EXPECT_FALSE(curve::FollowsCurveFileNameRule("/x/Cur_05.txt2"));  // "Cur" must open the last ten
    EXPECT_FALSE(curve::FollowsCurveFileNameRule(""));
    // "Cur_öğ.txt" is ten characters but twelve bytes.
    EXPECT_TRUE(curve::FollowsCurveFileNameRule("/araç/Cur_öğ.txt"));
    // The last ten bytes are "Cur_ö.txt", but the last ten characters "aCur_ö.txt".
    EXPECT_FALSE(curve::FollowsCurveFileNameRule("/aCur_ö.txt"));
}

}  // namespace
}  // namespace gasecu
