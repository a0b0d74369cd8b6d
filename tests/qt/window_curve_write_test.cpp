// The window writes a curve to the virtual ECU with "EKÜ Yaz" and a read with
// "EKÜ Oku" brings the same curve back: real widgets, the simulated controller,
// on virtual time. Pictures of the write under way and of the curve read back are
// left beside the program for a look.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <filesystem>

#include "qt/window_fixture.h"
#include "curve/curve_file_io.h"

namespace gasecu {
namespace {

using test::DistinctCurve;
using test::WindowFixture;

void SavePicture(WindowFixture& f, const char* name) {
    f.window().grab().save(QString::fromStdString(curve::Utf8FromPath(std::filesystem::path(GASECU_BIN).parent_path() / name)));
}

TEST(WindowSimulate, WriteButtonWritesTheCurveAndTheReadButtonBringsItBack) {
    WindowFixture f(/*simulate=*/true);
    f.window().resize(1366, 768);
    f.window().show();
    f.widget<QPushButton>("ComOpenButon")->click();
    ASSERT_TRUE(f.waitUntil([&] { return f.form().LinkUp && f.form().SequencerState == 8; }, 15000));
    // The first live reply gives back the buttons the connect locked.
    auto* curveScreen = f.widget<QPushButton>("ButonEğri");
    ASSERT_TRUE(f.waitUntil([&] { return curveScreen->isEnabled(); }, 5000));
    curveScreen->click();
    f.form().CurveTable = DistinctCurve();
    auto* write = f.widget<QPushButton>("ButonEcuYaz");
    ASSERT_TRUE(f.waitUntil([&] { return write->isVisible() && write->isEnabled(); }, 5000));
    write->click();
    ASSERT_TRUE(f.form().CurveWriteRunning());
    // Half way through the blocks the bar shows and the buttons are locked.
    ASSERT_TRUE(f.waitUntil([&] { return f.form().SequencerState == 30; }, 15000));
    f.runFor(100);
    EXPECT_TRUE(f.widget<QProgressBar>("ProgressBar7")->isVisible());
    EXPECT_FALSE(write->isEnabled());
    EXPECT_FALSE(f.widget<QPushButton>("ButonEcuOku")->isEnabled());
    SavePicture(f, "window-curve-writing.png");

    // 27 ticks of write and 25 of read back: 26 s.
    ASSERT_TRUE(f.waitUntil([&] { return !f.form().CurveWriteRunning(); }, 60000));
    EXPECT_EQ(f.form().CurveWriteResult, Form1Korvane::CurveWriteOutcome::Equal);
    f.runFor(100);
    const std::string status = f.widget<QLineEdit>("KomutSatırı")->text().toStdString();
    EXPECT_TRUE(status == "HATA YOK ! — EĞRİ YAZILDI VE GERİ OKUNDU" || status == "NO ERRORS ! — CURVE WRITTEN AND READ BACK") << status;
    EXPECT_TRUE(write->isEnabled());

    // Forget the curve, then read it from the ECU: the same curve comes back.
    f.form().CurveTable = {};
    f.widget<QPushButton>("ButonEcuOku")->click();
    ASSERT_EQ(f.form().SequencerState, 13);
    ASSERT_TRUE(f.waitUntil([&] { return f.form().SequencerState == 8 && !f.form().ButtonsLocked; }, 30000));
    EXPECT_EQ(f.form().CurveTable, DistinctCurve());
    f.runFor(600);
    SavePicture(f, "window-curve-read-back.png");
}

}  // namespace
}  // namespace gasecu
