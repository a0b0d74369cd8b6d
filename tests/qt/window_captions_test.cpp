// The window in the fitter's language: the captions the window draws itself and
// those the language switch sets, the title, --lang for one run, and captions that
// stay readable on the dark teal a written setting is coloured with.
#include <QAbstractButton>
#include <QLabel>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "window/application.h"
#include "window/qt_canvas.h"
#include "qt/window_fixture.h"

namespace gasecu {
namespace {

using test::WindowFixture;

void SetLanguageThroughTheForm(WindowFixture& f, int language) {
    f.window().runHandler([&f, language] {
        f.form().LanguageIndex = language;
        f.form().ApplyLanguageIndex();
    });
}

QString ShownText(WindowFixture& f, const std::string& name) {
    QWidget* w = f.window().widgetFor(name);
    if (auto* label = qobject_cast<QLabel*>(w)) return label->text();
    if (auto* button = qobject_cast<QAbstractButton*>(w)) return button->text();
    ADD_FAILURE() << name << " shows no text";
    return {};
}

TEST(WindowCaptions, EveryCaptionLeftTurkishHasItsEnglishOne) {
    struct Case {
        const char* control;
        const char* turkish;
        const char* english;
    };
    // One caption of each kind the window draws itself (a word, a word behind a
    // symbol, a picture that carries its own language): the rest are rows of the
    // same table.
    const Case cases[] = {
        {"Rolanti", "Rölanti", "Idle"},
        {"hepsi", "Hepsi", "All"},
        {"ImgBenzin", "BENZİN", "PETROL"},
        {"BenzinPic", "▶ BENZİN", "▶ PETROL"},
        {"Rolantiaşagıenabel", "▼ Rölanti", "▼ Idle"},
        {"imgeğmedisabled", "◇ Eğim", "◇ Slope"},
        {"AyarKırmızıImg", "● AYAR", "● CAL"},
        // Captions the language tables already carried still follow them.
        {"ButonEğri", "Eğri", "Curve"},
        {"Label1", "Eğim Faktörü", "Slope Factor"},
    };
    WindowFixture f;
    // Back and forth: a caption must follow each switch, not just the first.
    for (int language : {1, 0, 1}) {
        SetLanguageThroughTheForm(f, language);
        for (const Case& c : cases)
            EXPECT_EQ(ShownText(f, c.control).toStdString(), language == 1 ? c.english : c.turkish)
                << c.control << " in " << (language == 1 ? "English" : "Turkish");
        const QString tip = f.window().widgetFor("BenzinPic")->toolTip();
        EXPECT_EQ(tip.toStdString(), language == 1 ? "Switch to petrol" : "Benzine geç");
    }
}

TEST(WindowCaptions, TheTitleFollowsTheLanguage) {
    struct Case {
        bool simulate;
        int language;
        const char* title;
    };
    const Case cases[] = {
        {false, 0, "[*]gasecu - LPG/CNG EKÜ servis aracı"},
        {false, 1, "[*]gasecu - LPG/CNG ECU service tool"},
        {true, 0, "[*]gasecu - sanal EKÜ"},
        {true, 1, "[*]gasecu - simulated ECU"},
    };
    for (const Case& c : cases) {
        WindowFixture f(c.simulate);
        SetLanguageThroughTheForm(f, c.language);
        EXPECT_EQ(f.window().windowTitle().toStdString(), c.title);
    }
}

TEST(WindowCaptions, LangChoosesTheLanguageForOneRunOnly) {
    struct Case {
        std::vector<const char*> words;
        std::optional<int> language;
        bool refused;
    };
    const Case cases[] = {
        {{"gasecu"}, std::nullopt, false},
        {{"gasecu", "--lang", "en"}, 1, false},
        {{"gasecu", "--lang", "tr", "--simulate"}, 0, false},
        {{"gasecu", "--port", "/dev/ttyUSB0", "--lang=en"}, 1, false},
        {{"gasecu", "--lang", "de"}, std::nullopt, true},
        {{"gasecu", "--lang=EN"}, std::nullopt, true},
        {{"gasecu", "--lang"}, std::nullopt, true},
    };
    for (const Case& c : cases) {
        const WindowLanguage chosen = WindowLanguageFromArguments(static_cast<int>(c.words.size()), c.words.data());
        EXPECT_EQ(chosen.language, c.language) << c.words.back();
        EXPECT_EQ(!chosen.refusal.empty(), c.refused) << c.words.back() << ": " << chosen.refusal;
    }

    // The window opened with English while Turkish is stored: English on screen,
    // the stored choice untouched.
    test::EnsureQtApp();
    test::TempDir dir;
    {
        std::ofstream(dir.path() / "Dilsecim", std::ios::binary) << "0\r\n";
    }
    qt::SessionOptions o;
    o.programDirectory = dir.path();
    o.userDataDirectory = dir.path() / "user";
    o.language = 1;
    qt::Session session(std::move(o));
    EXPECT_EQ(session.form().LanguageIndex, 1);
    auto* idle = qobject_cast<QAbstractButton*>(session.window().widgetFor("Rolanti"));
    ASSERT_NE(idle, nullptr);
    EXPECT_EQ(idle->text().toStdString(), "Idle");
    EXPECT_EQ(session.window().windowTitle().toStdString(), "[*]gasecu - LPG/CNG ECU service tool");
    std::ifstream stored(dir.path() / "Dilsecim", std::ios::binary);
    std::string line;
    std::getline(stored, line);
    EXPECT_EQ(line, "0\r");
}

// Whether a display is there, found before the toolkit is asked for one (it would
// abort with its own words): by the platform chosen and the variables it needs.
TEST(WindowCaptions, AMissingDisplayIsFoundBeforeTheToolkitIsAsked) {
    struct DisplayCase {
        std::vector<const char*> words;
        std::map<std::string, std::string> environment;
        bool missing;
    };
    const DisplayCase displays[] = {
        {{"gasecu"}, {}, true},
        {{"gasecu"}, {{"DISPLAY", ":0"}}, false},
        {{"gasecu"}, {{"WAYLAND_DISPLAY", "wayland-0"}, {"DISPLAY", ""}}, false},
        {{"gasecu"}, {{"QT_QPA_PLATFORM", "xcb"}, {"WAYLAND_DISPLAY", "wayland-0"}}, true},
        {{"gasecu"}, {{"QT_QPA_PLATFORM", "wayland;xcb"}, {"DISPLAY", ":1"}}, false},
        {{"gasecu"}, {{"QT_QPA_PLATFORM", "offscreen"}}, false},
        {{"gasecu", "-platform", "offscreen"}, {{"QT_QPA_PLATFORM", "xcb"}}, false},
        {{"gasecu", "--platform=xcb:nograb"}, {{"QT_QPA_PLATFORM", "offscreen"}}, true},
    };
    for (const DisplayCase& c : displays) {
        auto variable = [&c](const char* name) -> const char* {
            const auto found = c.environment.find(name);
            return found == c.environment.end() ? nullptr : found->second.c_str();
        };
#ifdef _WIN32
        const bool missing = false;  // Windows always has its desktop
#else
        const bool missing = c.missing;
#endif
        EXPECT_EQ(WindowHasNoDisplay(static_cast<int>(c.words.size()), c.words.data(), variable), missing)
            << c.words.back() << " " << c.environment.size();
    }
}

TEST(WindowCaptions, CaptionsStayReadableOnTheColourAWriteGives) {
    struct Case {
        Colour back;
        bool lightText;
    };
    // Dark teal after a setting was written; yellow while one is typed; red when
    // refused; the style's own face.
    const Case cases[] = {{colours::kDarkCyan, true}, {colours::kYellow, false}, {colours::kRed, false}};
    WindowFixture f;
    LabelControl& label = f.form().SetPLabelRPM;
    auto* shown = f.widget<QLabel>("SetPLabelRPM");
    ASSERT_NE(shown, nullptr);
    for (const Case& c : cases) {
        f.window().runHandler([&] { label.backColour = c.back; });
        const QColor text = shown->palette().color(QPalette::Active, QPalette::WindowText);
        const QColor ground = shown->palette().color(QPalette::Active, QPalette::Window);
        EXPECT_EQ(ground, ToQColor(c.back));
        EXPECT_EQ(text.lightness() > 200, c.lightText) << c.back;
        // Whatever the ground, caption and ground differ plainly.
        EXPECT_GT(std::abs(text.lightness() - ground.lightness()), 100) << c.back;
    }
}

}  // namespace
}  // namespace gasecu
