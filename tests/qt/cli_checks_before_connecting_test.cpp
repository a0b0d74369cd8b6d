// What a headless command refuses before it opens any port, as the window would
// refuse it: curve file names, setting values, output files, faulty curve files,
// and the language the commands speak.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/form1korvane.h"
#include "app/stored_language.h"
#include "app/number_format.h"
#include "cli/cli.h"
#include "cli/command_line.h"
#include "cli/commands.h"
#include "curve/curve_text.h"
#include "ecu/setting_rules.h"
#include "support/temp_dir.h"
#include "curve/curve_file_io.h"

namespace gasecu::cli {
namespace {

TEST(CliReadCurve, RefusesTheNameBeforeConnectingAsTheWindowWould) {
    std::string message;
    Options o;
    o.command = "read-curve";
    EXPECT_EQ(ValidateReadCurve(o, message), kExitBadUsage);

    o.outputPath = "/srv/vans/curve.txt";
    EXPECT_EQ(ValidateReadCurve(o, message), kExitFileError);
    // Named whole, as the window's dialog names it ("Z:\srv\vans\curve.txt" on Windows).
    const std::string whole = curve::Utf8FromPath(std::filesystem::absolute(curve::PathFromUtf8(o.outputPath)));
    EXPECT_NE(message.find("NAME OF INCORRECT FILE ! " + whole), std::string::npos) << message;
    o.language = 0;
    EXPECT_EQ(ValidateReadCurve(o, message), kExitFileError);
    EXPECT_NE(message.find("HATALI DOSYA İSMİ ! "), std::string::npos) << message;

    o.outputPath = "/srv/vans/cur_05.txt";  // case matters
    EXPECT_EQ(ValidateReadCurve(o, message), kExitFileError);
    test::TempDir vans;
    o.outputPath = curve::Utf8FromPath(vans.path() / "Cur_05.txt");
    EXPECT_EQ(ValidateReadCurve(o, message), kExitDone);
    // A relative name counts with the directory the shell is in, as a dialog's full path.
    o.outputPath = "Cur_05.txt";
    EXPECT_EQ(ValidateReadCurve(o, message), kExitDone);
}

Options SetOptions(const std::string& assignment) {
    Options o;
    o.command = "set";
    o.language = 1;
    o.assignments = {assignment};
    return o;
}

TEST(CliSet, AValueIsRefusedBeforeConnectingExactlyWhenTheBoxWouldRefuseIt) {
    // The box of a window without a link: it clears what it refuses and keeps
    // what it takes (and then sends nothing, there being no ECU).
    test::TempDir dir;
    Form1Korvane box({dir.path(), dir.path() / "user", nullptr, nullptr, '.'});
    box.Form_Load();
    const std::vector<std::pair<ecu::Setting, std::vector<std::string>>> typed{
        {ecu::Setting::SwitchTemperature,
         {"19.73951", "19.7395", "19.74", "19.8", "19.85", "19.9", "19.94", "60", "96.1", "96.15", "96.2", "96.2555"}},
        {ecu::Setting::SwitchRpm, {"499.99", "500", "1234", "2000", "2000.04", "2000.00004"}},
        {ecu::Setting::MinimumPressure, {"0.39", "0.3999", "0.39999", "0.40", "1,80", "1.80004", "1.80005", "1.81"}},
        {ecu::Setting::LeakPressure, {"0.59999", "0.6", "1.8"}},
        {ecu::Setting::Coils, {"0", "1", "2.5", "4", "04", "4.00001", "5"}},
    };
    for (const auto& [setting, values] : typed) {
        for (const std::string& value : values) {
            const std::string name = ecu::RuleFor(setting).name;
            SCOPED_TRACE(name + "=" + value);
            box.SettingBox(setting).text = value;
            // Without a link the box puts back what the ECU last held, so what it
            // took shows in the status line: a refusal names the accepted range.
            box.KomutSatırı.text.clear();
            box.SettingEntryKeyPress(setting, 13);
            const std::string& said = box.KomutSatırı.text;
            const bool boxTakes = said.find("GEÇERSİZ DEĞER") == std::string::npos &&
                                  said.find("VALUE REFUSED") == std::string::npos;
            std::string message;
            EXPECT_EQ(ValidateSet(SetOptions(name + "=" + value), message), boxTakes ? kExitDone : kExitBadInput)
                << message;
        }
    }
    // The cases that passed the check and then failed at the box, and those the
    // stated range leaves out.
    for (const char* value : {"switch-temp=19.73951", "switch-temp=19.8", "switch-temp=96.2"}) {
        std::string message;
        EXPECT_EQ(ValidateSet(SetOptions(value), message), kExitBadInput) << value;
        EXPECT_NE(message.find("switch-temp takes 19.9 - 96.1 °C"), std::string::npos) << message;
    }
}

// The README's table of accepted values, row by row, as the rules enforce it.
TEST(CliSet, TheReadmeStatesTheRangesTheRulesEnforce) {
    std::ifstream in(GASECU_README, std::ios::binary);
    const std::string readme((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_FALSE(readme.empty());
    for (const ecu::SettingRule& rule : ecu::SettingRules()) {
        if (rule.setting == ecu::Setting::Advance) continue;
        SCOPED_TRACE(rule.name);
        const std::string range = ecu::AcceptedRangeText(rule.setting, '.');  // "0.40 - 1.80 bar"
        // "| `coils` | 1 - 4 (a whole number) |", "| `min-pressure` | 0.40 - 1.80 bar |"
        EXPECT_NE(readme.find(std::string("| `") + rule.name + "` | " + range + " "), std::string::npos) << range;
        // Each end is accepted; one step of the shown decimals beyond it is not.
        const double low = ParseLeadingNumber(range);
        const double high = ParseLeadingNumber(range.substr(range.find(" - ") + 3));
        const double step = std::pow(10.0, -rule.decimals);
        EXPECT_TRUE(ecu::EntryByte(rule.setting, low)) << low;
        EXPECT_TRUE(ecu::EntryByte(rule.setting, high)) << high;
        EXPECT_FALSE(ecu::EntryByte(rule.setting, low - step)) << low - step;
        EXPECT_FALSE(ecu::EntryByte(rule.setting, high + step)) << high + step;
    }
}

TEST(CliOutputFile, EveryOutputIsCheckedBeforeAnyPortIsOpened) {
    test::TempDir dir;
    std::filesystem::create_directory(dir.path() / "Cur_07.txt");
    struct Case {
        std::string path;
        int status;
        std::string english;  // the message, before the path
    };
    std::vector<Case> cases = {
        {curve::Utf8FromPath(dir.path() / "Cur_05.txt"), kExitDone, ""},
        {curve::Utf8FromPath(dir.path() / "curve.txt"), kExitFileError, "NAME OF INCORRECT FILE ! "},
        {curve::Utf8FromPath(dir.path() / "Cur_00.txt"), kExitFileError, "Cur_00.txt IS REWRITTEN AT EVERY START"},
        {curve::Utf8FromPath(dir.path() / "gone" / "Cur_05.txt"), kExitFileError, "NO SUCH FOLDER, FILE NOT WRITTEN ! "},
        {curve::Utf8FromPath(dir.path() / "Cur_07.txt"), kExitFileError, "A FOLDER HAS THIS NAME, FILE NOT WRITTEN ! "},
    };
#ifndef _WIN32  // a link onto a device: Windows programs make no such link
    std::filesystem::create_symlink(test::MakeDeviceOrPipe(dir.path() / "device"), dir.path() / "Cur_11.txt");
    cases.push_back(
        {curve::Utf8FromPath(dir.path() / "Cur_11.txt"), kExitFileError, "THIS NAME IS NOT A PLAIN FILE, NOT WRITTEN ! "});
#endif
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        for (auto validate : {ValidateReadCurve, ValidateCalibrate}) {
            Options o;
            o.outputPath = c.path;
            o.language = 1;
            std::string message;
            EXPECT_EQ(validate(o, message), c.status);
            if (c.status != kExitDone) {
                EXPECT_EQ(message.rfind(c.english, 0), 0u) << message;
            }
        }
    }
    // In Turkish when that is the language of the run.
    Options o;
    o.outputPath = curve::Utf8FromPath(dir.path() / "gone" / "Cur_05.txt");
    o.language = 0;
    std::string message;
    EXPECT_EQ(ValidateCalibrate(o, message), kExitFileError);
    EXPECT_EQ(message.rfind("KLASÖR YOK, DOSYA YAZILAMADI ! ", 0), 0u) << message;
}

TEST(CliWriteCurve, AFaultyFileIsRefusedWithTheCauseTheFitterCanMend) {
    test::TempDir dir;
    const std::string axis = "30 60 90 120 150 180 210 240 270 300 330 360 390 420 450 480 510 540 ";
    auto lines = [&](const std::string& head, const std::string& band3, const std::string& end) {
        std::string text = head + end + axis + end + band3 + end;
        for (int i = 0; i < 5; ++i) text += axis + end;
        return text + "<::::> " + end;
    };
    const std::string good = lines("4 25 116 110 134 122 ", axis, "\r\n");
    const std::string seventeen = axis.substr(0, axis.rfind("540 "));
    struct Case {
        const char* name;
        std::string text;
        int status;
        std::string says;  // in the message
    };
    const Case cases[] = {
        {"LF-only line ends", lines("4 25 116 110 134 122 ", axis, "\n"), kExitFileError,
         "(line 1: line ends must be CR LF, this file ends lines with LF alone)"},
        {"UTF-8 byte order mark", "\xEF\xBB\xBF" + good, kExitFileError,
         "(line 1: starts with a UTF-8 byte order mark, save it as plain text)"},
        {"a curve followed by 2 MB of other data", good + std::string(2 << 20, 'x'), kExitFileError,
         "FILE ERROR ! "},
        {"a curve followed by other data, the reason", good + std::string(2 << 20, 'x'), kExitFileError,
         "(a curve followed by other data, " + std::to_string(good.size() + (2 << 20)) + " bytes in all"},
        {"a band line of 17 numbers", lines("4 25 116 110 134 122 ", seventeen, "\r\n"), kExitFileError,
         "(line 3: 17 numbers, 18 expected)"},
        {"a head without its final blank", lines("4 25 116 110 134 122", axis, "\r\n"), kExitDone, ""},
        {"a folder", "", kExitFileError, "FILE CANNOT BE READ ! "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::filesystem::path file = dir.path() / "Cur_05.txt";
        std::filesystem::remove(file);
        if (std::string(c.name) == "a folder") {
            std::filesystem::create_directory(file);
        } else {
            std::ofstream(file, std::ios::binary) << c.text;
        }
        Options o;
        o.inputPath = curve::Utf8FromPath(file);
        o.language = 1;
        std::string message;
        EXPECT_EQ(ValidateWriteCurve(o, message), c.status) << message;
        EXPECT_NE(message.find(c.says), std::string::npos) << message;
    }
}

TEST(CliLanguage, ChecksBeforeTheSessionSpeakTheStoredLanguage) {
    struct Case {
        const char* stored;  // null: no file
        bool installed;
        int language;
    };
    for (const Case& c : {Case{nullptr, false, 0}, Case{"1", false, 1}, Case{"0", false, 0}, Case{"7", false, 0},
                          Case{"1", true, 1}}) {
        SCOPED_TRACE(c.stored ? c.stored : "none");
        test::TempDir dir;
        FormEnvironment env;
        env.programDirectory = dir.path() / "bin";
        env.userDataDirectory = dir.path() / "user";
        std::filesystem::create_directories(env.programDirectory);
        std::filesystem::create_directories(env.userDataDirectory);
        if (c.installed) env.installedDataDirectory = dir.path() / "share";
        // An installed program keeps the fitter's choice in the per-user folder.
        if (c.stored)
            std::ofstream((c.installed ? env.userDataDirectory : env.programDirectory) / "Dilsecim") << c.stored << "\r\n";
        EXPECT_EQ(StoredLanguageIndex(env), c.language);
        // The window, started the same way, agrees.
        Form1Korvane form(env);
        form.Form_Load();
        EXPECT_EQ(form.LanguageIndex, c.language);
    }
}

}  // namespace
}  // namespace gasecu::cli
