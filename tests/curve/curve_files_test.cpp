// Loading and saving curve files through the window's two buttons.
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>
#include <atomic>
#include <thread>
#include <tuple>
#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "curve_fixture.h"
#include "support/disk_full.h"
#include "curve/curve_file_io.h"

namespace gasecu {
namespace {

using test::CurveFormTest;

const std::string kAxis = "30 60 90 120 150 180 210 240 270 300 330 360 390 420 450 480 510 540 ";

class CurveFiles : public CurveFormTest {
protected:
    std::string PathOf(const std::string& name) { return curve::Utf8FromPath(dir.path() / name); }

    std::string Write(const std::string& name, const std::string& text) {
        std::ofstream out(dir.path() / name, std::ios::binary);
        out << text;
        return PathOf(name);
    }

    static std::string Slurp(const std::filesystem::path& p) {
        std::ifstream in(p, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

    // A table that differs from the default everywhere it can.
    void FillDistinct() {
        for (int r = 1; r <= 8; ++r)
            for (int p = 1; p <= 18; ++p) At(r, p) = r * 100 + p;
        At(3, 1) = -3;
        At(1, 2) = -40;
    }

    std::string Nine(const std::string& line1, const std::string& marker = "<::::> ") {
        std::string s = line1 + "\r\n";
        for (int i = 0; i < 7; ++i) s += kAxis + "\r\n";
        return s + marker + "\r\n";
    }
};

TEST_F(CurveFiles, SaveAndLoadGiveTheSameCurveNegativeValuesIncluded) {
    FillDistinct();
    form.CheckÜ[3].setValue(1);
    const auto saved = form.CurveTable;
    const auto clearsBefore = Canvas().clearCount();

    dialogs.answer = PathOf("Cur_05.txt");
    form.ButonDiskeYaz_Click();
    EXPECT_EQ(form.KomutSatırı.text, "HATASIZ DOSYA  " + dialogs.answer + " — EĞRİ KAYDEDİLDİ");
    EXPECT_FALSE(form.CheckÜ[3].checked());
    EXPECT_EQ(Canvas().clearCount(), clearsBefore + 1);
    ASSERT_EQ(dialogs.shownSave.size(), 1u);
    EXPECT_EQ(dialogs.shownSave[0].fileName, "*.txt");
    EXPECT_EQ(dialogs.shownSave[0].filter, "eğriler (*.txt) Örnek: Cur_xx.txt");  // the window's language
    EXPECT_EQ(dialogs.shownSave[0].initialDirectory, curve::Utf8FromPath(dir.path()));
    const std::string text = Slurp(dir.path() / "Cur_05.txt");
    EXPECT_EQ(text.substr(0, text.find("\r\n")), "101 -40 103 104 105 106 ");
    EXPECT_NE(text.find("\r\n-3 302 "), std::string::npos);
    for (const std::string& name : test::FileNamesIn(dir.path()))  // nothing half written left beside it
        EXPECT_EQ(name.find("partial"), std::string::npos) << name;

    form.CurveTable = CurveRows{};
    form.CheckA[2].setValue(1);
    form.ButonDisktenOku_Click();
    EXPECT_EQ(form.KomutSatırı.text, " " + dialogs.answer + " — EĞRİ DOSYADAN YÜKLENDİ");
    EXPECT_TRUE(form.CurveFileOk);
    EXPECT_FALSE(form.CheckA[2].checked());
    for (int r = 2; r <= 8; ++r) EXPECT_EQ(form.CurveTable[r], saved[r]) << r;
    for (int p = 1; p <= 6; ++p) EXPECT_EQ(At(1, p), saved[1][p]) << p;
    EXPECT_EQ(At(1, 7), 0);  // the head line carries six numbers
    EXPECT_EQ(form.CommonDialog1.fileName, "*.txt");

    form.LanguageIndex = 1;
    form.ButonDiskeYaz_Click();
    EXPECT_EQ(form.KomutSatırı.text, "FILE NO ERRORS " + dialogs.answer + " — CURVE SAVED");
}

TEST_F(CurveFiles, NameRuleAndCancelledDialogs) {
    LoadDefaultCurve();
    const auto before = form.CurveTable;
    Write("curve.txt", Nine("1 2 "));
    Write("cur_05.txt", Nine("1 2 "));
    Write("Cur_5.txt", Nine("1 2 "));
    for (std::string answer : {PathOf("curve.txt"), PathOf("cur_05.txt"), std::string("Cur_5.txt"), std::string("*.txt")}) {
        dialogs.answer = answer;
        form.ButonDisktenOku_Click();
        EXPECT_EQ(form.KomutSatırı.text, "HATALI DOSYA !") << answer;
        EXPECT_EQ(form.CurveTable, before) << answer;
        form.ButonDiskeYaz_Click();
        EXPECT_EQ(form.KomutSatırı.text, "HATALI DOSYA İSMİ ! ") << answer;
        EXPECT_EQ(form.CommonDialog1.fileName, "*.txt");
    }
    EXPECT_EQ(Slurp(dir.path() / "curve.txt"), Nine("1 2 "));  // refused before it was opened

    form.LanguageIndex = 1;
    form.ButonDisktenOku_Click();
    EXPECT_EQ(form.KomutSatırı.text, "FILE ERROR !");
    form.ButonDiskeYaz_Click();
    EXPECT_EQ(form.KomutSatırı.text, "NAME OF INCORRECT FILE ! ");

    // A cancelled dialog is no fault: nothing changes and nothing is said, the
    // marks and the message before it included.
    form.KomutSatırı.text = "EĞRİ OKUNDU";
    form.CheckÜ[4].setValue(1);
    dialogs.answer.clear();
    for (auto press : {&Form1Korvane::ButonDisktenOku_Click, &Form1Korvane::ButonDiskeYaz_Click}) {
        (form.*press)();
        EXPECT_EQ(form.KomutSatırı.text, "EĞRİ OKUNDU");
        EXPECT_TRUE(form.CheckÜ[4].checked());
        EXPECT_EQ(form.CurveTable, before);
    }
    form.CheckÜ[4].setValue(0);

    // Only the last ten characters count, and they are characters, not bytes.
    std::filesystem::create_directory(dir.path() / u8"Müşteri");
    dialogs.answer = curve::Utf8FromPath(dir.path() / u8"Müşteri" / u8"Cur_ğı.txt");
    form.LanguageIndex = 0;
    form.ButonDiskeYaz_Click();
    EXPECT_EQ(form.KomutSatırı.text, "HATASIZ DOSYA  " + dialogs.answer + " — EĞRİ KAYDEDİLDİ");
}

// The default curve file is rewritten at every start: a curve saved under its name
// would be lost at the next one, so the save refuses it, in any folder and case.
TEST_F(CurveFiles, TheDefaultCurvesNameIsRefusedForSaving) {
    LoadOrderedCurve();
    std::filesystem::create_directory(dir.path() / u8"Araç");
    for (const std::filesystem::path& path :
         {dir.path() / "Cur_00.txt", dir.path() / u8"Araç" / "Cur_00.txt", dir.path() / "CUR_00.TXT"}) {
        Write(curve::Utf8FromPath(path.filename()), "kept");
        dialogs.answer = curve::Utf8FromPath(path);
        form.LanguageIndex = 1;
        form.ButonDiskeYaz_Click();
        EXPECT_EQ(form.KomutSatırı.text, "Cur_00.txt IS REWRITTEN AT EVERY START, CHOOSE ANOTHER NAME ! ") << path;
        form.LanguageIndex = 0;
        form.ButonDiskeYaz_Click();
        EXPECT_EQ(form.KomutSatırı.text, "Cur_00.txt HER AÇILIŞTA YENİDEN YAZILIR, BAŞKA BİR İSİM SEÇİNİZ ! ");
        EXPECT_EQ(Slurp(dir.path() / path.filename()), "kept");
    }
    // Loading it stays allowed, and a near name saves.
    dialogs.answer = curve::Utf8FromPath(dir.path() / "Cur_01.txt");
    form.ButonDiskeYaz_Click();
    EXPECT_EQ(form.KomutSatırı.text, "HATASIZ DOSYA  " + dialogs.answer + " — EĞRİ KAYDEDİLDİ");
}

// A value the reader would refuse is never written: the fitter keeps the file he
// had and is told why.
TEST_F(CurveFiles, ACurveThatCouldNotBeReadBackIsNotSaved) {
    LoadOrderedCurve();
    const std::string path = Write("Cur_07.txt", "the fitter's older curve");
    for (auto [row, point, value] : {std::tuple{8, 18, 32767.6}, std::tuple{3, 1, -40000.0}, std::tuple{1, 2, 1e9}}) {
        SCOPED_TRACE(value);
        LoadOrderedCurve();
        At(row, point) = value;
        dialogs.answer = path;
        form.LanguageIndex = 1;
        form.ButonDiskeYaz_Click();
        EXPECT_EQ(form.KomutSatırı.text, "THE CURVE HOLDS A VALUE NO CURVE FILE CAN KEEP (-32768..32767) ! ");
        EXPECT_EQ(Slurp(curve::PathFromUtf8(path)), "the fitter's older curve");
    }
    // At the very ends it saves and loads back the same.
    LoadOrderedCurve();
    At(8, 18) = 32767;
    At(3, 1) = -32768;
    const auto saved = form.CurveTable;
    form.ButonDiskeYaz_Click();
    EXPECT_EQ(form.KomutSatırı.text, "FILE NO ERRORS " + path + " — CURVE SAVED");
    LoadDefaultCurve();
    form.ButonDisktenOku_Click();
    EXPECT_EQ(form.CurveTable[8][18], saved[8][18]);
    EXPECT_EQ(form.CurveTable[3][1], saved[3][1]);
}

TEST_F(CurveFiles, NoDialogAtAllCountsAsCancelled) {
    Form1Korvane bare({dir.path(), dir.path() / "user", nullptr, nullptr, '.'});
    bare.Form_Load();
    const std::string said = bare.KomutSatırı.text;
    bare.ButonDisktenOku_Click();
    EXPECT_EQ(bare.KomutSatırı.text, said);
    EXPECT_FALSE(bare.SaveCurveFile());
    EXPECT_EQ(bare.KomutSatırı.text, said);
}

TEST_F(CurveFiles, WrongEndMarkerLoadsTheCurveButReportsTheFile) {
    dialogs.answer = Write("Cur_07.txt", Nine("4 30 1 2 3 4 ", "<::::>"));
    form.CurveFileOk = true;
    form.ButonDisktenOku_Click();
    EXPECT_EQ(form.KomutSatırı.text, "DOSYA HATALI ! :" + dialogs.answer);
    EXPECT_FALSE(form.CurveFileOk);
    EXPECT_EQ(At(1, 2), 30);
    EXPECT_EQ(At(8, 18), 540);
    form.LanguageIndex = 1;
    form.ButonDisktenOku_Click();
    EXPECT_EQ(form.KomutSatırı.text, "INCORRECT FILE ! :" + dialogs.answer);
}

TEST_F(CurveFiles, FaultyFileLeavesTheCurveExactlyAsItWas) {
    FillDistinct();
    const auto before = form.CurveTable;
    std::string eight = "1 2 \r\n";
    for (int i = 0; i < 7; ++i) eight += kAxis + "\r\n";
    std::string lfOnly = "1 2 \n";
    for (int i = 0; i < 7; ++i) lfOnly += kAxis + "\n";
    lfOnly += "<::::> \n";
    std::string nineteen = Nine("1 2 ");
    nineteen.insert(nineteen.find("540 ", nineteen.find("540 ") + 1) + 4, "570 ");  // line 3

    const std::pair<const char*, std::string> cases[] = {
        {"Cur_08.txt", eight},                 // only eight lines
        {"Cur_09.txt", Nine("1  2 ")},         // two blanks in a row
        {"Cur_10.txt", Nine("5 6 7 x ")},      // not a number, after good ones
        {"Cur_11.txt", nineteen},              // a nineteenth number on line 3
        {"Cur_12.txt", lfOnly},                // LF-only line ends: one single line
    };
    for (const auto& [name, text] : cases) {
        dialogs.answer = Write(name, text);
        form.ButonDisktenOku_Click();
        EXPECT_EQ(form.KomutSatırı.text, "HATALI DOSYA !") << name;
        EXPECT_EQ(form.CurveTable, before) << name;
        EXPECT_FALSE(form.CurveFileOk) << name;
    }
    dialogs.answer = PathOf("Cur_99.txt");  // missing
    form.ButonDisktenOku_Click();
    EXPECT_EQ(form.KomutSatırı.text, "HATALI DOSYA !");
    std::filesystem::create_directory(dir.path() / "Cur_98.txt");
    dialogs.answer = PathOf("Cur_98.txt");  // a folder
    form.ButonDisktenOku_Click();
    EXPECT_EQ(form.KomutSatırı.text, "HATALI DOSYA !");
    EXPECT_EQ(form.CurveTable, before);
}

#ifndef _WIN32
// A pipe, or a link onto a device, picked in the open dialog: refused for what it
// is, never opened (a pipe with no writer would hold the window for ever). A
// writer waits at the far end while each read runs, so a read that opens it
// anyway ends, and is seen.
TEST_F(CurveFiles, APipeOrADevicePickedToReadIsRefusedUnopened) {
    FillDistinct();
    const auto before = form.CurveTable;
    ASSERT_EQ(::mkfifo((dir.path() / "Cur_14.txt").c_str(), 0644), 0);
    std::filesystem::create_symlink(test::MakeDeviceOrPipe(dir.path() / "device"), dir.path() / "Cur_15.txt");
    for (const char* name : {"Cur_14.txt", "Cur_15.txt"}) {
        SCOPED_TRACE(name);
        const std::filesystem::path node = std::filesystem::canonical(dir.path() / name);
        // The far end opens as soon as someone reads, until the read is over.
        auto withWriter = [&node](const std::function<void()>& read) {
            std::atomic<bool> over{false};
            std::thread writer([&] {
                while (!over) {
                    if (const int fd = ::open(node.c_str(), O_WRONLY | O_NONBLOCK); fd >= 0) {
                        ::close(fd);
                        return;
                    }
                    std::this_thread::yield();
                }
            });
            read();
            over = true;
            writer.join();
        };
        curve::CurveFileRead read;
        withWriter([&] { read = curve::ReadCurveFile(dir.path() / name); });
        dialogs.answer = PathOf(name);
        withWriter([&] { form.ButonDisktenOku_Click(); });
        EXPECT_EQ(read.problem, curve::CurveFileRead::Problem::NotAFile);
        EXPECT_EQ(read.english, "not a plain file (a device or a pipe)");
        EXPECT_EQ(form.KomutSatırı.text, "HATALI DOSYA !");
        EXPECT_EQ(form.CurveTable, before);
    }
}
#endif

TEST_F(CurveFiles, ShortLineAndLongHeaderAreTakenOverAsGiven) {
    FillDistinct();
    std::string text = Nine("1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 ");
    // Line 3 gives three numbers, the last without a blank after it (it counts).
    const auto line3 = text.find("\r\n", text.find("\r\n") + 2) + 2;
    const auto end3 = text.find("\r\n", line3);
    text.replace(line3, end3 - line3, "7 8 9");
    dialogs.answer = Write("Cur_13.txt", text);
    form.ButonDisktenOku_Click();
    EXPECT_TRUE(form.CurveFileOk);
    EXPECT_EQ(At(1, 18), 18);
    EXPECT_EQ(At(3, 1), 7);
    EXPECT_EQ(At(3, 2), 8);
    EXPECT_EQ(At(3, 3), 9);
    EXPECT_EQ(At(3, 4), 304);  // kept: the line gave no fourth number
    EXPECT_EQ(At(4, 3), 90);
}

TEST_F(CurveFiles, FailedWriteKeepsTheFileThatWasThereAndSaysWhy) {
    struct Case {
        const char* name;
        std::function<std::string()> arrange;  // the answer of the dialog
        std::optional<std::uintmax_t> diskRoom;            // none: the disk is not full
        std::string turkish;                               // the status line, before the path
    };
    const Case cases[] = {
        {"the USB stick fills up a third of the way in", [this] { return PathOf("Cur_05.txt"); }, 100,
         "DİSK DOLU, DOSYA YAZILAMADI ! "},
        {"a folder that is not there", [this] { return PathOf("no-such-folder/Cur_05.txt"); },
         std::nullopt, "KLASÖR YOK, DOSYA YAZILAMADI ! "},
        {"a folder under the name",
         [this] {
             std::filesystem::create_directory(dir.path() / "Cur_09.txt");
             return PathOf("Cur_09.txt");
         },
         std::nullopt, "BU İSİMDE BİR KLASÖR VAR, DOSYA YAZILAMADI ! "},
        {"a link onto a device",
         [this] {
             std::filesystem::create_symlink(test::MakeDeviceOrPipe(dir.path() / "device"), dir.path() / "Cur_11.txt");
             return PathOf("Cur_11.txt");
         },
         std::nullopt, "BU İSİM BİR DOSYA DEĞİL, YAZILMADI ! "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // No per-process disk limit and no device to link to on Windows.
        if (c.diskRoom && !test::kDiskLimitAvailable) continue;
#ifdef _WIN32
        if (std::string(c.name) == "a link onto a device") continue;
#endif
        Write("Cur_05.txt", Nine("4 25 1 2 3 4 "));
        dialogs.answer = c.arrange();
        const auto namesBefore = test::FileNamesIn(dir.path());
        FillDistinct();
        {
            std::optional<test::DiskFull> full;
            if (c.diskRoom) full.emplace(*c.diskRoom);
            form.ButonDiskeYaz_Click();
        }
        EXPECT_EQ(form.KomutSatırı.text, c.turkish + dialogs.answer);
        EXPECT_EQ(Slurp(dir.path() / "Cur_05.txt"), Nine("4 25 1 2 3 4 "));
        EXPECT_EQ(test::FileNamesIn(dir.path()), namesBefore);
    }
#ifndef _WIN32
    // The device behind the link is still a device, the link still a link.
    EXPECT_TRUE(std::filesystem::is_symlink(dir.path() / "Cur_11.txt"));
    EXPECT_FALSE(std::filesystem::is_regular_file(dir.path() / "device"));
#endif

    form.LanguageIndex = 1;
    dialogs.answer = PathOf("gone/Cur_05.txt");
    form.ButonDiskeYaz_Click();
    EXPECT_EQ(form.KomutSatırı.text, "NO SUCH FOLDER, FILE NOT WRITTEN ! " + dialogs.answer);
}

}  // namespace
}  // namespace gasecu
