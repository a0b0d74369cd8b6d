// A calibration run in the window on the built-in virtual ECU, on virtual time:
// the buttons and texts on screen follow the run, and the screen is pictured
// running and ended in both languages (beside the test program).
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <filesystem>

#include "qt/window_fixture.h"
#include "virtual_ecu.h"
#include "curve/curve_file_io.h"

namespace gasecu {
namespace {

void Picture(test::WindowFixture& f, const std::string& name) {
    f.runFor(100);
    f.window().grab().save(
        QString::fromStdString(curve::Utf8FromPath(std::filesystem::path(GASECU_BIN).parent_path() / (name + ".png"))));
}

TEST(WindowSimulate, CalibrationRunsOnTheVirtualEngine) {
    test::WindowFixture f(/*simulate=*/true);
    const std::filesystem::path shipped = std::filesystem::path(GASECU_BIN).parent_path() / "ORJ.DAT";
    std::filesystem::copy_file(shipped, f.dir.path() / "ORJ.DAT");
    sim::HoldForCalibration(*f.session->ecu());
    f.session->ecu()->engine().setMismatch(0.05);  // agrees at the first measurement on gas
    f.window().resize(1366, 768);
    f.window().show();
    f.chooseLanguage(1);

    f.widget<QPushButton>("ComOpenButon")->click();
    ASSERT_TRUE(f.waitUntil([&] { return f.form().LinkUp && !f.form().TextBenzinMS.text.empty(); }, 15000));
    f.widget<QPushButton>("ButonAyar")->click();
    f.widget<QPushButton>("KalibrasyonBaşlatButon")->click();
    f.runFor(50);
    EXPECT_TRUE(f.widget<QPushButton>("KalibrasyonBaşlatButon")->isHidden());
    EXPECT_FALSE(f.widget<QPushButton>("KalibrasyonDurdurButon")->isHidden());

    // Away to the curve screen and back once a live reply has given the screen
    // buttons back: the run keeps its stop button.
    f.widget<QPushButton>("ButonEğri")->click();
    ASSERT_TRUE(f.waitUntil([&] { return f.widget<QPushButton>("ButonAyar")->isEnabled(); }, 5000));
    f.widget<QPushButton>("ButonAyar")->click();
    f.runFor(50);
    EXPECT_TRUE(f.form().CalibrationRunning);
    EXPECT_TRUE(f.widget<QPushButton>("KalibrasyonBaşlatButon")->isHidden());
    EXPECT_FALSE(f.widget<QPushButton>("KalibrasyonDurdurButon")->isHidden());
    EXPECT_TRUE(f.widget<QPushButton>("KalibrasyonDurdurButon")->isEnabled());
    Picture(f, "calibration-reopened-en");

    // The petrol measurement shows in ilk 27 ticks (about 16 s) after the start.
    ASSERT_TRUE(f.waitUntil([&] { return !f.widget<QLineEdit>("ilk")->text().isEmpty(); }, 25000));
    Picture(f, "calibration-running-en");
    f.chooseLanguage(0);
    Picture(f, "calibration-running-tr");

    ASSERT_TRUE(f.waitUntil([&] { return !f.form().CalibrationRunning; }, 40000));
    f.runFor(50);
    EXPECT_EQ(f.widget<QLineEdit>("KomutSatırı")->text().toStdString(), "KALİBRASYON BİTTİ.");
    EXPECT_FALSE(f.widget<QPushButton>("Kalibrasyonyükleme")->isHidden());
    EXPECT_FALSE(f.widget<QPushButton>("KalibrasyonBaşlatButon")->isHidden());
    EXPECT_FALSE(f.widget<QLineEdit>("Ani")->text().isEmpty());
    Picture(f, "calibration-ended-tr");
    f.chooseLanguage(1);
    Picture(f, "calibration-ended-en");
}

}  // namespace
}  // namespace gasecu
