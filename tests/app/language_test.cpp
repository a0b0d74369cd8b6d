// The language file "Dilsecim", the language list and the status-line message rule.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "app/form1korvane.h"
#include "support/disk_full.h"
#include "support/temp_dir.h"
#include "curve/curve_file_io.h"

namespace gasecu {
namespace {

double StartWithLanguageFile(const test::TempDir& dir, const char* content, Form1Korvane& form) {
    if (content) {
        std::ofstream out(dir.path() / "Dilsecim", std::ios::binary);
        out << content;
    }
    form.Form_Load();
    return form.LanguageIndex;
}

TEST(Language, StoredValueSelectsLanguageAndOddValuesStartInTurkish) {
    struct Case {
        const char* content;  // null: no file at all (first start)
        double expected;
    };
    for (auto [content, expected] : {Case{nullptr, 0}, Case{"0\r\n", 0}, Case{"1\r\n", 1}, Case{" 1 ", 1},
                                     Case{"7\r\n", 0}, Case{"2\r\n", 0}, Case{"3", 0}, Case{"-1", 0},
                                     Case{"", 0}, Case{"ENG", 0}, Case{"0.5", 0}}) {
        test::TempDir dir;
        Form1Korvane form({dir.path(), dir.path() / "u", nullptr, nullptr, '.'});
        SCOPED_TRACE(content ? content : "(missing)");
        EXPECT_EQ(StartWithLanguageFile(dir, content, form), expected);
        EXPECT_EQ(form.Dilsec.selectedIndex, static_cast<int>(expected));
        EXPECT_EQ(form.ExitButon.caption, expected == 1 ? "Exit" : "Çıkış");
    }
}

TEST(Language, ChoosingEnglishStoresItAndSwitchesEveryCaption) {
    test::TempDir dir;
    Form1Korvane form({dir.path(), dir.path() / "u", nullptr, nullptr, '.'});
    form.Form_Load();
    EXPECT_EQ(form.ComOpenButon.caption, "Ekü'ye Bağlan");
    EXPECT_TRUE(form.Label26.visible);
    EXPECT_EQ(form.AyarKırmızıImg.picture, 1);
    EXPECT_EQ(form.Label24.caption, "( d/d )");
    EXPECT_EQ(form.Kalibrasyonyükleme.caption, "Kalibrasyonu  ECU'ye  Yükle");  // two blanks kept

    form.Dilsec.selectedIndex = 1;
    form.Dilsec_Click();

    std::ifstream in(dir.path() / "Dilsecim", std::ios::binary);
    std::stringstream stored;
    stored << in.rdbuf();
    EXPECT_EQ(stored.str(), "1\r\n");
    EXPECT_EQ(form.LanguageIndex, 1);
    EXPECT_EQ(form.ComOpenButon.caption, "Access ECU");
    EXPECT_EQ(form.LabelRegulator.caption, "Reducer(Temp)");
    EXPECT_EQ(form.ButonLoadFabricSettings.caption, "Install Fabric Settings");
    EXPECT_FALSE(form.Label26.visible);
    EXPECT_FALSE(form.Label27.visible);
    EXPECT_EQ(form.AyarKırmızıImg.picture, 2);
    EXPECT_EQ(form.Label24.caption, "");
    EXPECT_EQ(form.Label25.caption, "(  C)");
    EXPECT_EQ(form.Label14.caption, "bar");

    // And it survives a restart.
    Form1Korvane again({dir.path(), dir.path() / "u", nullptr, nullptr, '.'});
    again.Form_Load();
    EXPECT_EQ(again.LanguageIndex, 1);
    EXPECT_EQ(again.Label21.caption, "Keep the engine RPM around 2100!");
}

// The calibration screen's captions, the record and trend buttons follow the
// language like every other caption; each calibration reading has its own.
TEST(Language, CalibrationReadingsRecordAndTrendCaptionsFollowTheLanguage) {
    test::TempDir dir;
    Form1Korvane form({dir.path(), dir.path() / "u", nullptr, nullptr, '.'});
    form.Form_Load();
    struct Case {
        const LabelControl* label;
        const ButtonControl* button;
        const char* turkish;
        const char* english;
    };
    const Case cases[] = {
        {&form.GP, nullptr, "Benzin", "Petrol"},
        {&form.Pt, nullptr, "Gaz", "Gas"},
        {&form.LabelFark, nullptr, "Fark (ms)", "Difference (ms)"},
        {&form.Label1, nullptr, "Eğim Faktörü", "Slope Factor"},
        {&form.LabelSayac, nullptr, "Deneme", "Iteration"},
        {nullptr, &form.ButonKayıt, "Kaydı Başlat", "Start Recording"},
        {nullptr, &form.ButonTrend, "Canlı Grafik", "Trend"},
    };
    for (int language : {1, 0}) {
        form.Dilsec.selectedIndex = language;
        form.Dilsec_Click();
        for (const Case& c : cases) {
            const std::string& caption = c.label ? c.label->caption : c.button->caption;
            EXPECT_EQ(caption, language ? c.english : c.turkish);
        }
    }
}

TEST(Language, AChoiceThatCannotBeStoredKeepsTheStoredOneAndSaysSo) {
    GASECU_SKIP_WITHOUT_DISK_LIMIT();
    test::TempDir dir;
    Form1Korvane form({dir.path(), dir.path() / "u", nullptr, nullptr, '.'});
    StartWithLanguageFile(dir, "1\r\n", form);
    ASSERT_EQ(form.LanguageIndex, 1);
    form.Dilsec.selectedIndex = 0;
    {
        test::DiskFull full(0);
        form.Dilsec_Click();
    }
    // Turkish for this run, English still stored whole for the next start.
    EXPECT_EQ(form.ExitButon.caption, "Çıkış");
    EXPECT_EQ(form.KomutSatırı.text, "DİL SEÇİMİ KAYDEDİLEMEDİ ! " + curve::Utf8FromPath(dir.path() / "Dilsecim"));
    EXPECT_EQ(test::FileNamesIn(dir.path()), (std::set<std::string>{"Cur_00.txt", "Dilsecim"}));
    Form1Korvane again({dir.path(), dir.path() / "u", nullptr, nullptr, '.'});
    again.Form_Load();
    EXPECT_EQ(again.LanguageIndex, 1);
}

TEST(Language, MessageGoesOutOnlyForTurkishOrEnglish) {
    test::TempDir dir;
    Form1Korvane form({dir.path(), dir.path() / "u", nullptr, nullptr, '.'});
    form.Form_Load();
    form.ShowMessage("TÜRKÇE", "ENGLISH");
    EXPECT_EQ(form.KomutSatırı.text, "TÜRKÇE");
    form.LanguageIndex = 1;
    form.ShowMessage("TÜRKÇE", "ENGLISH");
    EXPECT_EQ(form.KomutSatırı.text, "ENGLISH");
    form.LanguageIndex = 2;  // neither test matches: the status line keeps its text
    form.ShowMessage("X", "Y");
    EXPECT_EQ(form.KomutSatırı.text, "ENGLISH");
}

}  // namespace
}  // namespace gasecu
