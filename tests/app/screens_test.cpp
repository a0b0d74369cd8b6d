// Switching between the curve, settings and calibration screens.
#include <gtest/gtest.h>

#include "app/form1korvane.h"
#include "support/temp_dir.h"

namespace gasecu {
namespace {

struct ScreensTest : ::testing::Test {
    test::TempDir dir;
    Form1Korvane f{{dir.path(), dir.path() / "u", nullptr, nullptr, '.'}};
    void SetUp() override { f.Form_Load(); }
    bool ReadWriteButtonsVisible() const {
        return f.ButonDisktenOku.visible && f.ButonDiskeYaz.visible && f.ButonEcuOku.visible && f.ButonEcuYaz.visible;
    }
    bool ReadWriteButtonsHidden() const {
        return !f.ButonDisktenOku.visible && !f.ButonDiskeYaz.visible && !f.ButonEcuOku.visible &&
               !f.ButonEcuYaz.visible;
    }
};

TEST_F(ScreensTest, OnlyTheCurveScreenShowsTheReadWriteButtons) {
    f.ButonSetup_Click();
    EXPECT_TRUE(ReadWriteButtonsHidden());
    EXPECT_TRUE(f.SettingsSettingsPic.visible);
    EXPECT_FALSE(f.EğriKağıdıPic.visible);
    EXPECT_EQ(f.KomutSatırı.text, "AYARLAR");
    EXPECT_FALSE(f.ButonSetup.enabled);
    EXPECT_EQ(f.ButonSetup.backColour, colours::kDarkCyan);
    EXPECT_EQ(f.ButonEğri.backColour, colours::kWhite);

    f.ButonAyar_Click();
    EXPECT_TRUE(ReadWriteButtonsHidden());
    EXPECT_TRUE(f.KalibrasyonPic.visible);
    EXPECT_FALSE(f.SettingsSettingsPic.visible);
    EXPECT_TRUE(f.AyarKırmızıImg.visible);  // the marker shows before any run
    EXPECT_FALSE(f.Kalibrasyonyükleme.visible);
    EXPECT_FALSE(f.ButonAyar.enabled);
    EXPECT_TRUE(f.ButonSetup.enabled);

    f.LanguageIndex = 1;
    f.ButonEğri_Click();
    EXPECT_TRUE(ReadWriteButtonsVisible());
    EXPECT_TRUE(f.EğriKağıdıPic.visible);
    EXPECT_FALSE(f.KalibrasyonPic.visible);
    EXPECT_EQ(f.KomutSatırı.text, "CURVE");
    EXPECT_FALSE(f.ButonEğri.enabled);
    EXPECT_EQ(f.ButonEğri.backColour, colours::kDarkCyan);
    EXPECT_EQ(f.ButonAyar.backColour, colours::kWhite);
}

TEST_F(ScreensTest, SettingsScreenSetsItsStepEvenWithoutLink) {
    f.SequencerState = 8;
    f.ButonSetup_Click();
    EXPECT_EQ(f.SequencerState, 290);
}

TEST_F(ScreensTest, CurveScreenClearsPointSelectionAndCalibrationBoxes) {
    f.CheckÜ[3].setValue(1);
    f.CheckA[17].setValue(1);
    f.CheckÜ[18].setValue(1);
    f.ilk.text = "4.10";
    f.Ani.text = "4.30";
    f.Text1.text = "0.20";
    f.Sayac.text = "5";
    f.CurveFileOk = true;
    f.ButonEğri_Click();
    for (int k = 0; k <= 18; ++k) {
        EXPECT_FALSE(f.CheckÜ[k].checked()) << k;
        EXPECT_FALSE(f.CheckA[k].checked()) << k;
    }
    EXPECT_TRUE(f.ilk.text.empty());
    EXPECT_TRUE(f.Ani.text.empty());
    EXPECT_TRUE(f.Text1.text.empty());
    EXPECT_EQ(f.Sayac.text, "1");
    EXPECT_FALSE(f.CurveFileOk);
}

}  // namespace
}  // namespace gasecu
