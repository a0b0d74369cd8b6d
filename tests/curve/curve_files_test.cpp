// Loading and saving curve files through the window's two buttons.
#include <filesystem>
#include <fstream>
#include <sstream>
#include <tuple>

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
    EXPECT_EQ(form.KomutSatırı.text, "HATASIZ DOSYA  " + dialogs.answer);
    EXPECT_FALSE(form.CheckÜ[3].checked());
    EXPECT_EQ(Canvas().clearCount(), clearsBefore + 1);
    ASSERT_EQ(dialogs.shownSave.size(), 1u);
    EXPECT_EQ(dialogs.shownSave[0].fileName, "*.txt");
    EXPECT_EQ(dialogs.shownSave[0].filter, "curves (*.txt) Example: Cur_xx.txt");
    EXPECT_EQ(dialogs.shownSave[0].initialDirectory, curve::Utf8FromPath(dir.path()));
    const std::string text = Slurp(dir.path() / "Cur_05.txt");
    EXPECT_EQ(text.substr(0, text.find("\r\n")), "101 -40 103 104 105 106 ");
    EXPECT_NE(text.find("\r\n-3 302 "), std::string::npos);
    for (const std::string& name : test::FileNamesIn(dir.path()))  // nothing half written left beside it
        EXPECT_EQ(name.find("partial"), std::string::npos) << name;

    form.CurveTable = CurveRows{};
    form.CheckA[2].setValue(1);
    form.ButonDisktenOku_Click();
    EXPECT_EQ(form.KomutSatırı.text, " " + dialogs.answer);
    EXPECT_TRUE(form.CurveFileOk);
    EXPECT_FALSE(form.CheckA[2].checked());
    for (int r = 2; r <= 8; ++r) EXPECT_EQ(form.CurveTable[r], saved[r]) << r;
    for (int p = 1; p <= 6; ++p) EXPECT_EQ(At(1, p), saved[1][p]) << p;
    EXPECT_EQ(At(1, 7), 0);  // the head line carries six numbers
    EXPECT_EQ(form.CommonDialog1.fileName, "*.txt");

    form.LanguageIndex = 1;
    form.ButonDiskeYaz_Click();
    EXPECT_EQ(form.KomutSatırı.text, "FILE NO ERRORS " + dialogs.answer);
}

TEST_F(CurveFiles, NameRuleAndCancelledDialogs) {
    LoadDefaultCurve();
    const auto before = form.CurveTable;
    Write("curve.txt", Nine("1 2 "));
    Write("cur_05.txt", Nine("1 2 "));
    Write("Cur_5.txt", Nine("1 2 "));
    for (std::string answer : {PathOf("curve.txt"), PathOf("cur_05.txt"), std::string("Cur_5.txt"), std::string("*.txt"),
                               std::string()}) {
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

    // Only the last ten characters count, and they are characters, not bytes.
    std::filesystem::create_directory(dir.path() / u8"Müşteri");
    dialogs.answer = curve::Utf8FromPath(dir.path() / u8"Müşteri" / u8"Cur_ğı.txt");
    form.LanguageIndex = 0;
    form.ButonDiskeYaz_Click();
    EXPECT_EQ(form.KomutSatırı.text, "HATASIZ DOSYA  " + dialogs.answer);
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
    EXPECT_EQ(form.KomutSatırı.text, "HATASIZ DOSYA  " + dialogs.answer);
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
    EXPECT_EQ(form.KomutSatırı.text, "FILE NO ERRORS " + path);
    LoadDefaultCurve();
    form.ButonDisktenOku_Click();
    EXPECT_EQ(form.CurveTable[8][18], saved[8][18]);
    EXPECT_EQ(form.CurveTable[3][1], saved[3][1]);
}

TEST_F(CurveFiles, NoDialogAtAllCountsAsCancelled) {
    Form1Korvane bare({dir.path(), dir.path() / "user", nullptr, nullptr, '.'});
    bare.Form_Load();
    bare.ButonDisktenOku_Click();
    EXPECT_EQ(bare.KomutSatırı.text, "HATALI DOSYA !");
    bare.ButonDiskeYaz_Click();
    EXPECT_EQ(bare.KomutSatırı.text, "HATALI DOSYA İSMİ ! ");
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

TEST_F(CurveFiles, ShortLineAndLongHeaderAreTakenOverAsGiven) {
    FillDistinct();
    std::string text = Nine("1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 ");
    // Line 3 loses its last number: no blank after it.
    const auto line3 = text.find("\r\n", text.find("\r\n") + 2) + 2;
    const auto end3 = text.find("\r\n", line3);
    text.replace(line3, end3 - line3, "7 8 9");
    dialogs.answer = Write("Cur_13.txt", text);
    form.ButonDisktenOku_Click();
    EXPECT_TRUE(form.CurveFileOk);
    EXPECT_EQ(At(1, 18), 18);
    EXPECT_EQ(At(3, 1), 7);
    EXPECT_EQ(At(3, 2), 8);
    EXPECT_EQ(At(3, 3), 303);  // kept
    EXPECT_EQ(At(4, 3), 90);
}

TEST_F(CurveFiles, FailedWriteKeepsTheFileThatWasThere) {
    GASECU_SKIP_WITHOUT_DISK_LIMIT();
    dialogs.answer = Write("Cur_05.txt", Nine("4 25 1 2 3 4 "));
    const auto namesBefore = test::FileNamesIn(dir.path());
    FillDistinct();
    {
        test::DiskFull full(100);  // the USB stick fills up a third of the way in
        form.ButonDiskeYaz_Click();
    }
    EXPECT_EQ(form.KomutSatırı.text, "HATALI DOSYA İSMİ ! ");
    EXPECT_EQ(Slurp(dir.path() / "Cur_05.txt"), Nine("4 25 1 2 3 4 "));
    EXPECT_EQ(test::FileNamesIn(dir.path()), namesBefore);

    dialogs.answer = PathOf("no-such-folder/Cur_05.txt");
    form.ButonDiskeYaz_Click();
    EXPECT_EQ(form.KomutSatırı.text, "HATALI DOSYA İSMİ ! ");
}

}  // namespace
}  // namespace gasecu
