// Start-up: the state the window comes up in, the default curve file, the language
// file, and where the files go when the program directory cannot be written.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/default_curve.h"
#include "app/form1korvane.h"
#include "curve/curve_file_io.h"
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

void WriteFile(const std::filesystem::path& p, const std::string& text) {
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out << text;
}

// A port that is already open when the window loads, as after a restart of the form.
class OpenPort : public SerialPort {
public:
    bool setPortNumber(int n) override {
        if (open_ || n < 1 || n > 15) return false;
        number_ = n;
        return true;
    }
    int portNumber() const override { return number_; }
    std::string deviceName(int n) const override { return "COM" + std::to_string(n); }
    bool open() override { return open_ = true; }
    void close() override {
        open_ = false;
        ++closes;
    }
    bool isOpen() const override { return open_; }
    bool send(const Bytes&) override { return open_; }
    Bytes readAll() override { return {}; }
    int closes = 0;

private:
    bool open_ = true;
    int number_ = 1;
};

const char* const kAxisLine = "30 60 90 120 150 180 210 240 270 300 330 360 390 420 450 480 510 540 \r\n";

std::string ExpectedDefaultCurve() {
    std::string t = "4 25 116 110 134 122 \r\n";
    for (int i = 0; i < 7; ++i) t += kAxisLine;
    return t + "<::::> \r\n";
}

struct StartedForm {
    explicit StartedForm(const std::filesystem::path& dir, SerialPort* port = nullptr)
        : form({dir, dir / "user", port, nullptr, ','}) {
        runner.attach(form);
        form.Form_Load();
    }
    sim::VirtualTimeRunner runner;
    Form1Korvane form;
};

TEST(Startup, ReplacesTheDefaultCurveFileByteForByte) {
    test::TempDir dir;
    WriteFile(dir.path() / "Cur_00.txt", "a fitter's edit that must not survive\n");
    StartedForm started(dir.path());
    EXPECT_EQ(ReadFile(dir.path() / "Cur_00.txt"), ExpectedDefaultCurve());
    EXPECT_EQ(DefaultCurveFileText(), ExpectedDefaultCurve());
}

// A workshop PC whose program folder carries Turkish letters: the default curve
// lands there and the file dialog opens there, its name whole in UTF-8 (on
// Windows a narrow path would pass through the ANSI code page and lose the letters).
TEST(Startup, ATurkishProgramFolderIsUsedAndShownWhole) {
    test::TempDir dir;
    const std::string folder = "Müşteri Araçları ğışöçü";
    const std::filesystem::path program = dir.path() / curve::PathFromUtf8(folder);
    std::filesystem::create_directory(program);
    StartedForm started(program);
    EXPECT_EQ(started.form.DataDirectory, program);
    EXPECT_EQ(ReadFile(program / "Cur_00.txt"), ExpectedDefaultCurve());
    EXPECT_EQ(started.form.CommonDialog1.initialDirectory, curve::Utf8FromPath(program));
    const std::string shown = started.form.CommonDialog1.initialDirectory;
    EXPECT_EQ(shown.substr(shown.size() - folder.size()), folder);
    EXPECT_EQ(curve::PathFromUtf8(shown), program);
}

TEST(Startup, WindowComesUpInItsDefinedState) {
    test::TempDir dir;
    OpenPort port;
    StartedForm started(dir.path(), &port);
    Form1Korvane& f = started.form;

    // The port is opened only by the connect button.
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(port.closes, 1);

    // Read/write buttons wait for the curve screen; the screen buttons are there.
    for (auto* b : {&f.ButonDisktenOku, &f.ButonDiskeYaz, &f.ButonEcuOku, &f.ButonEcuYaz}) EXPECT_FALSE(b->visible);
    for (auto* b : {&f.ButonEğri, &f.ButonSetup, &f.ButonAyar}) EXPECT_TRUE(b->visible);

    // Every progress bar hidden and empty, whatever its design-time state, with its maximum.
    struct Bar {
        ProgressBarControl* bar;
        double maximum;
    };
    for (auto [bar, maximum] : {Bar{&f.ProgressBar7, 11}, Bar{&f.ProgressBar11, 11}, Bar{&f.ProgressBar8, 6},
                                Bar{&f.ProgressBar9, 110}, Bar{&f.ProgressBar10, 21}, Bar{&f.ProgressBar12, 5}}) {
        EXPECT_FALSE(bar->visible);
        EXPECT_EQ(bar->value, 0);
        EXPECT_EQ(bar->minimum, 0);
        EXPECT_EQ(bar->maximum, maximum);
    }

    // Timers: sequencer, redraw and calibration run; edit tick and poller wait.
    EXPECT_TRUE(f.Timer1.enabled());
    EXPECT_FALSE(f.Timer2.enabled());
    EXPECT_TRUE(f.Timer3.enabled());
    EXPECT_TRUE(f.Timer4.enabled());
    EXPECT_FALSE(f.Timer5.enabled());
    EXPECT_EQ(f.Timer1.interval(), 500);
    EXPECT_EQ(f.Timer2.interval(), 75);
    EXPECT_EQ(f.Timer3.interval(), 25);
    EXPECT_EQ(f.Timer4.interval(), 600);
    EXPECT_EQ(f.Timer5.interval(), 10);

    // Flags and moving step numbers.
    EXPECT_EQ(f.SequencerState, 0);
    EXPECT_FALSE(f.LinkUp);
    EXPECT_FALSE(f.CalibrationRunning);
    EXPECT_FALSE(f.ButtonsLocked);
    EXPECT_TRUE(f.SetupRestored);
    EXPECT_TRUE(f.IdleLocked);
    EXPECT_FALSE(f.TiltMode);
    EXPECT_EQ(f.ClearWriteStep, 175);
    EXPECT_EQ(f.ClearPauseStep1, 178);
    EXPECT_EQ(f.ClearPauseStep2, 179);

    // Curve pictures: y grows upward.
    EXPECT_EQ(f.EğriPic.scaleLeft, 1);
    EXPECT_EQ(f.EğriPic.scaleTop, 559);
    EXPECT_EQ(f.EğriPic.scaleRight, 719);
    EXPECT_EQ(f.EğriPic.scaleBottom, 1);
    EXPECT_EQ(f.EğriKağıdıPic.scaleTop, 552);
    EXPECT_EQ(f.EğriKağıdıPic.scaleRight, 617);

    // Editor pictures released, gas type LPG, bands unselected and grey.
    EXPECT_TRUE(f.imgeğmedisabled.visible);
    EXPECT_FALSE(f.imgeğmeenabled.visible);
    EXPECT_TRUE(f.Rolantiyukarıdisabel.visible);
    EXPECT_FALSE(f.Rolantiyukarıenabel.visible);
    EXPECT_EQ(f.LPG.backColour, colours::kGreen);
    EXPECT_EQ(f.CNG.backColour, colours::kRed);
    EXPECT_EQ(f.Label3.foreColour, colours::kGreen);
    EXPECT_EQ(f.Label4.foreColour, colours::kRed);
    for (auto* b : {&f.devir123456, &f.devir1000, &f.devir6000}) EXPECT_EQ(b->backColour, colours::kGrey);
    for (auto v : f.BandSelected) EXPECT_EQ(v, 0);

    // Calibration controls and marker.
    EXPECT_TRUE(f.KalibrasyonBaşlatButon.enabled);
    EXPECT_FALSE(f.KalibrasyonDurdurButon.enabled);
    EXPECT_FALSE(f.AyarKırmızıImg.visible);
    EXPECT_EQ(f.Sayac.text, "1");
    EXPECT_TRUE(f.ilk.text.empty());

    // The banner names the tool and its version.
    EXPECT_NE(f.KomutSatırı.text.find("gasecu"), std::string::npos);
    EXPECT_NE(f.KomutSatırı.text.find(GASECU_VERSION), std::string::npos);
}

TEST(Startup, TimersTickAtTheirIntervalsInVirtualTime) {
    test::TempDir dir;
    StartedForm started(dir.path());
    started.runner.runFor(3000);
    EXPECT_EQ(started.runner.timerFirings(1), 6u);    // 500 ms
    EXPECT_EQ(started.runner.timerFirings(2), 0u);    // stopped
    EXPECT_EQ(started.runner.timerFirings(3), 120u);  // 25 ms
    EXPECT_EQ(started.runner.timerFirings(4), 5u);    // 600 ms
    EXPECT_EQ(started.runner.timerFirings(5), 0u);    // stopped
    EXPECT_EQ(started.runner.nowMs(), 3000);
}

TEST(Startup, RestartedTimerCountsFromItsRestart) {
    test::TempDir dir;
    StartedForm started(dir.path());
    auto& f = started.form;
    started.runner.runFor(10);
    f.Timer2.setEnabled(true);  // starts at 10 ms: ticks at 85, 160, ...
    started.runner.runFor(70);  // now 80
    EXPECT_EQ(started.runner.timerFirings(2), 0u);
    f.Timer2.setEnabled(false);
    f.Timer2.setEnabled(true);  // restarted at 80: the tick due at 85 must not come
    started.runner.runFor(70);  // now 150
    EXPECT_EQ(started.runner.timerFirings(2), 0u);
    started.runner.runFor(10);  // 160 > 155
    EXPECT_EQ(started.runner.timerFirings(2), 1u);
    f.Timer2.setEnabled(true);  // already running: no restart
    started.runner.runFor(75);
    EXPECT_EQ(started.runner.timerFirings(2), 2u);
}

TEST(Startup, UnwritableProgramDirectoryFallsBackToUserDirectory) {
    test::TempDir dir;
    // An installed program's directory the fitter cannot write: here a path that is a
    // plain file, which no account can create files in.
    auto program = dir.path() / "program";
    WriteFile(program, "not a directory");
    Form1Korvane form({program, dir.path() / "user data", nullptr, nullptr, '.'});
    form.Form_Load();
    EXPECT_EQ(form.DataDirectory, dir.path() / "user data");
    EXPECT_EQ(ReadFile(dir.path() / "user data" / "Cur_00.txt"), ExpectedDefaultCurve());
    form.Dilsec.selectedIndex = 1;
    form.Dilsec_Click();
    EXPECT_EQ(ReadFile(dir.path() / "user data" / "Dilsecim"), "1\r\n");
    EXPECT_EQ(form.CommonDialog1.initialDirectory, curve::Utf8FromPath(dir.path() / "user data"));
}

// The Debian package puts the programs in /usr/bin and what ships with them in
// /usr/share/gasecu: even run as root, the tool keeps its files in the user's
// data directory, never among the system's programs.
TEST(Startup, AnInstalledProgramWritesOnlyIntoTheUserDirectory) {
    test::TempDir dir;
    const auto bin = dir.path() / "usr" / "bin";
    const auto shared = dir.path() / "usr" / "share" / "gasecu";
    std::filesystem::create_directories(bin);
    EXPECT_EQ(InstalledDataDirectoryFor(bin), std::filesystem::path());  // no share/gasecu beside it
    std::filesystem::create_directories(shared);
    WriteFile(shared / "ORJ.DAT", ExpectedDefaultCurve());
    EXPECT_EQ(InstalledDataDirectoryFor(bin), shared);
    EXPECT_EQ(InstalledDataDirectoryFor(dir.path() / "usr" / "build"), std::filesystem::path());  // a build folder

    FormEnvironment env{bin, dir.path() / "home" / "data", nullptr, nullptr, '.'};
    env.installedDataDirectory = InstalledDataDirectoryFor(bin);
    Form1Korvane form(std::move(env));
    form.Form_Load();
    EXPECT_EQ(form.DataDirectory, dir.path() / "home" / "data");
    EXPECT_EQ(ReadFile(dir.path() / "home" / "data" / "Cur_00.txt"), ExpectedDefaultCurve());
    form.Dilsec.selectedIndex = 1;
    form.Dilsec_Click();
    EXPECT_TRUE(std::filesystem::is_empty(bin));
    EXPECT_EQ(form.ReferenceFilePath(), shared / "ORJ.DAT");
}

// The Windows installer keeps ORJ.DAT beside the program in Program Files and
// marks the folder; the portable ZIP's folder, unmarked, keeps the fitter's files.
TEST(Startup, TheWindowsInstallersFolderIsAnInstalledProgram) {
    for (const bool marked : {true, false}) {
        SCOPED_TRACE(marked ? "installed" : "portable");
        test::TempDir dir;
        const auto program = dir.path() / "gasecu";
        std::filesystem::create_directories(program);
        WriteFile(program / "ORJ.DAT", ExpectedDefaultCurve());
        if (marked) WriteFile(program / kInstalledByTheInstaller, "");
        FormEnvironment env{program, dir.path() / "LocalAppData" / "gasecu", nullptr, nullptr, '.'};
        env.installedDataDirectory = InstalledDataDirectoryFor(program);
        Form1Korvane form(std::move(env));
        form.Form_Load();
        EXPECT_EQ(form.DataDirectory, marked ? dir.path() / "LocalAppData" / "gasecu" : program);
        EXPECT_EQ(std::filesystem::exists(program / "Cur_00.txt"), !marked);
        EXPECT_EQ(form.ReferenceFilePath(), program / "ORJ.DAT");
    }
}

TEST(Startup, NothingWritableStillStarts) {
    test::TempDir dir;
    WriteFile(dir.path() / "program", "x");
    WriteFile(dir.path() / "user", "x");
    Form1Korvane form({dir.path() / "program", dir.path() / "user" / "sub", nullptr, nullptr, '.'});
    form.Form_Load();
    EXPECT_TRUE(form.Timer1.enabled());
    EXPECT_EQ(form.LanguageIndex, 0);
    // Choosing a language that cannot be stored still switches the captions, and
    // says it was not stored.
    form.Dilsec.selectedIndex = 1;
    form.Dilsec_Click();
    EXPECT_EQ(form.LanguageIndex, 1);
    EXPECT_EQ(form.ExitButon.caption, "Exit");
    EXPECT_EQ(form.KomutSatırı.text,
              "THE LANGUAGE CHOICE COULD NOT BE SAVED ! " + curve::Utf8FromPath(dir.path() / "program" / "Dilsecim"));
}

}  // namespace
}  // namespace gasecu
