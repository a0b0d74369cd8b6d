#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/default_curve.h"
#include "app/form1korvane.h"
#include "support/temp_dir.h"
#include "virtual_time_runner.h"

namespace gasecu {
namespace {

std::string ReadFile(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST(Startup, WritesDefaultCurveFileByteForByte) {
    test::TempDir dir;
    {
        std::ofstream old(dir.path() / "Cur_00.txt");
        old << "a fitter's edit that must not survive\n";
    }
    Form1Korvane form({dir.path(), dir.path() / "user", nullptr, nullptr, '.'});
    form.Form_Load();
    std::string expected =
        "4 25 116 110 134 122 \r\n"
        "30 60 90 120 150 180 210 240 270 300 330 360 390 420 450 480 510 540 \r\n"
        "30 60 90 120 150 180 210 240 270 300 330 360 390 420 450 480 510 540 \r\n"
        "30 60 90 120 150 180 210 240 270 300 330 360 390 420 450 480 510 540 \r\n"
        "30 60 90 120 150 180 210 240 270 300 330 360 390 420 450 480 510 540 \r\n"
        "30 60 90 120 150 180 210 240 270 300 330 360 390 420 450 480 510 540 \r\n"
        "30 60 90 120 150 180 210 240 270 300 330 360 390 420 450 480 510 540 \r\n"
        "30 60 90 120 150 180 210 240 270 300 330 360 390 420 450 480 510 540 \r\n"
        "<::::> \r\n";
    EXPECT_EQ(ReadFile(dir.path() / "Cur_00.txt"), expected);
    EXPECT_EQ(DefaultCurveFileText(), expected);
}

}  // namespace
}  // namespace gasecu
