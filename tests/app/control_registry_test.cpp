#include "app/control_registry.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "support/temp_dir.h"

namespace gasecu {
namespace {

struct Fixture {
    test::TempDir dir;
    Form1Korvane form{{dir.path(), dir.path() / "user", nullptr, nullptr, '.'}};
    std::vector<ControlEntry> controls = ListControls(form);
};

const void* Address(const ControlRef& ref) {
    return std::visit([](auto* p) -> const void* { return p; }, ref);
}

TEST(ControlRegistry, ListsEveryControlOnceWithItsKind) {
    Fixture f;
    std::set<std::string> names;
    std::set<const void*> addresses;
    std::map<ControlKind, int> byKind;
    for (const ControlEntry& e : f.controls) {
        EXPECT_TRUE(names.insert(e.name).second) << "listed twice: " << e.name;
        EXPECT_TRUE(addresses.insert(Address(e.control)).second) << "same control under two names: " << e.name;
        ++byKind[e.kind()];
    }
    // Counted from the form's declarations: arrays count every element.
    // + undo and redo, + record and trend, + disconnect
    EXPECT_EQ(byKind[ControlKind::Button], 31 + 2 + 2 + 1);
    // + the link lamp, the captions of the difference and the iteration count
    EXPECT_EQ(byKind[ControlKind::Label], 2 + 6 + 2 + 12 + 6 + 13 + 6 + 5 + 1 + 2);
    EXPECT_EQ(byKind[ControlKind::TextBox], 1 + 6 + 6 + 4 + 4 + 1);  // + the slope factor
    EXPECT_EQ(byKind[ControlKind::CheckBox], 38 + 1);  // + the ECU curve box
    EXPECT_EQ(byKind[ControlKind::ComboBox], 2);
    EXPECT_EQ(byKind[ControlKind::PictureBox], 6 + 1);  // + the trend picture
    EXPECT_EQ(byKind[ControlKind::Image], 3 + 6 + 1);
    EXPECT_EQ(byKind[ControlKind::ProgressBar], 12 + 5 + 1);

    // The names are the window's own, array elements with their index.
    const ControlEntry* status = FindControl(f.controls, "KomutSatırı");
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(Address(status->control), &f.form.KomutSatırı);
    const ControlEntry* box = FindControl(f.controls, "CheckÜ(3)");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(Address(box->control), &f.form.CheckÜ[3]);
    const ControlEntry* label = FindControl(f.controls, "Label7(1)");
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(Address(label->control), &f.form.Label7[1]);
    EXPECT_EQ(FindControl(f.controls, "CheckÜ(19)"), nullptr);
    EXPECT_EQ(FindControl(f.controls, "Timer1"), nullptr);
}

TEST(ControlRegistry, EachControlSitsInItsScreen) {
    Fixture f;
    auto where = [&](const char* name) {
        const ControlEntry* e = FindControl(f.controls, name);
        EXPECT_NE(e, nullptr) << name;
        return e ? e->container : Container::Fixed;
    };
    for (const char* name : {"KomutSatırı", "Dilsec", "ComOpenButon", "ExitButon", "LPG", "CNG", "Label3", "Label4",
                             "ButonEğri", "ButonSetup", "ButonAyar", "ButonDisktenOku", "ButonEcuYaz", "TextBasinc",
                             "TextMotorDevirHızı", "LabelDevir", "Label26", "Label27", "Label7(0)", "Label12(0)",
                             "ProgressBar1(0)", "ProgressBar6(0)", "BenzinPic", "LPGPic", "ImgBenzin", "ImgGazGeçiş",
                             "ProgressBar7", "ProgressBar11", "EğriKağıdıPic", "SettingsSettingsPic", "KalibrasyonPic",
                             "ButonKayıt", "ButonTrend"})
        EXPECT_EQ(where(name), Container::Fixed) << name;
    for (const char* name : {"devir1000", "devir6000", "devir123456", "Rolanti", "CheckÜ(0)", "CheckA(18)", "EğriPic",
                             "Label7(1)", "ProgressBar6(1)", "Label15", "Label23", "Rolantiyukarıdisabel",
                             "Rolantiaşagıenabel", "imgeğmedisabled", "imgeğmeenabled", "ButonGeriAl", "ButonYinele",
                             "CheckEkuEğrisi"})
        EXPECT_EQ(where(name), Container::CurvePaper) << name;
    for (const char* name : {"hepsi", "sag", "sol", "YY", "AA"}) EXPECT_EQ(where(name), Container::CurvePlot) << name;
    for (const char* name : {"ButonGenel", "ButonTroubles", "ButonErrorClear", "ButonLoadFabricSettings", "Coil", "avas",
                             "msavvv", "SetPXXPressureTextBox", "SetPXXPressLeakageTextBox", "SetPTransRPMTextBox",
                             "SetPTransRedTempTextBox", "Label6", "Label17", "TroublesGasValveRelayTextBox",
                             "TroublesCRCErrTextBox", "Label45", "Label50", "ProgressBar12"})
        EXPECT_EQ(where(name), Container::Settings) << name;
    for (const char* name : {"KalibrasyonBaşlatButon", "KalibrasyonDurdurButon", "Kalibrasyonyükleme", "Label5",
                             "Label21", "Label1", "Pt", "GP", "ilk", "Ani", "Text1", "Sayac", "AyarKırmızıImg",
                             "LabelFark", "TextEğim", "LabelSayac"})
        EXPECT_EQ(where(name), Container::Calibration) << name;
    EXPECT_EQ(where("TrendPic"), Container::Trend);

    // Every container is a picture box listed before the controls it holds, so a
    // builder walking the list in order always finds the parent already made.
    std::set<std::string> seen;
    for (const ControlEntry& e : f.controls) {
        std::string parent = ContainerControlName(e.container);
        if (!parent.empty()) {
            EXPECT_TRUE(seen.count(parent)) << e.name << " before " << parent;
            const ControlEntry* p = FindControl(f.controls, parent);
            ASSERT_NE(p, nullptr);
            EXPECT_EQ(p->kind(), ControlKind::PictureBox);
        }
        seen.insert(e.name);
    }
}

TEST(ControlRegistry, DesignTimePropertiesSurviveTheLoadEvent) {
    Fixture f;
    f.form.Form_Load();
    // The curve screen is the one on view at start; the read/write buttons stay
    // hidden until a screen button or the link shows them.
    EXPECT_TRUE(f.form.EğriKağıdıPic.visible);
    EXPECT_FALSE(f.form.SettingsSettingsPic.visible);
    EXPECT_FALSE(f.form.KalibrasyonPic.visible);
    EXPECT_FALSE(f.form.ButonEcuOku.visible);
    EXPECT_EQ(f.form.Label15.caption, "RPM");
    EXPECT_EQ(f.form.AA.caption, "▲");
    EXPECT_EQ(f.form.ProgressBar1[1].maximum, 10000);
    EXPECT_EQ(f.form.ProgressBar2[0].maximum, 2);
    EXPECT_EQ(f.form.avas.entries.size(), 13u);
    EXPECT_EQ(f.form.avas.entries[5], "1.25 ms");
    EXPECT_EQ(f.form.CheckÜ[18].backColour, 128u);  // range box set off from the point boxes
    EXPECT_EQ(f.form.CheckA[0].backColour, colours::kDarkCyan);
}

}  // namespace
}  // namespace gasecu
