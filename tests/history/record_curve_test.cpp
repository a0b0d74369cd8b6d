// A restore point's curve back in the editor (one undo step, the unsaved-curve
// question first, never under an ECU exchange) and out as a curve file through
// the save button's rules.
#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "curve/curve_text.h"
#include "history/record_curve.h"
#include "support/disk_full.h"
#include "support/link_harness.h"
#include "curve/curve_file_io.h"

namespace gasecu::history {
namespace {

CurveRows Kept() {
    CurveRows c{};
    const double head[] = {4, 25, 116, 110, 134, 122};
    for (std::size_t p = 1; p <= 6; ++p) c[1][p] = head[p - 1];
    for (std::size_t r = 2; r <= 8; ++r)
        for (std::size_t p = 1; p <= 18; ++p) c[r][p] = static_cast<double>(30 * p + r);
    return c;
}

struct RestoreToEditorTest : ::testing::Test {
    test::LinkHarness h;
    ScriptedQuestions questions;
    void SetUp() override { h.form.env.questions = &questions; }
};

TEST_F(RestoreToEditorTest, TheRecordsCurveIsOneUndoableStep) {
    const CurveRows before = h.form.CurveTable;
    Record record;
    record.time = "2026-12-09 23:01:02";
    record.kind = Kind::CurveRead;
    record.label = "34 ABC 12";
    const CurveOutcome o = RestoreToEditor(h.form, curve::FormatCurveText(Kept()), NameOf(record));
    EXPECT_TRUE(o.done);
    EXPECT_EQ(h.form.CurveTable, Kept());
    // The status line names the record the curve came from.
    EXPECT_EQ(h.form.KomutSatırı.text,
              "THE RECORD'S CURVE IS IN THE EDITOR : 2026-12-09 23:01:02 Curve read from the ECU, 34 ABC 12");
    EXPECT_EQ(o.turkish, "KAYITTAKİ EĞRİ EDİTÖRE ALINDI : 2026-12-09 23:01:02 EKÜ'den eğri okundu, 34 ABC 12");
    // The window opened with a kept curve: nothing was asked.
    EXPECT_TRUE(questions.askedChoices().empty());
    h.form.ButonGeriAl_Click();
    EXPECT_EQ(h.form.CurveTable, before);
    h.form.ButonYinele_Click();
    EXPECT_EQ(h.form.CurveTable, Kept());
}

TEST_F(RestoreToEditorTest, AnUnsavedCurveAsksFirstAndCancelKeepsIt) {
    h.form.CurveTable[3][5] += 7;  // the fitter's edit, saved nowhere
    h.form.NoteCurveStep();
    const CurveRows edited = h.form.CurveTable;
    questions.answerNext(SaveChoice::Cancel);
    EXPECT_FALSE(RestoreToEditor(h.form, curve::FormatCurveText(Kept())).done);
    EXPECT_EQ(questions.askedChoices().size(), 1u);
    EXPECT_EQ(h.form.CurveTable, edited);

    questions.answerNext(SaveChoice::Discard);
    EXPECT_TRUE(RestoreToEditor(h.form, curve::FormatCurveText(Kept())).done);
    EXPECT_EQ(h.form.CurveTable, Kept());
    h.form.ButonGeriAl_Click();
    EXPECT_EQ(h.form.CurveTable, edited);
}

TEST_F(RestoreToEditorTest, NeverUnderAnExchangeNorFromADamagedRecord) {
    ASSERT_TRUE(h.connect());
    h.form.ButonEcuOku_Click();
    h.runner.runFor(1500);
    ASSERT_TRUE(h.form.CurveExchangeRunning()) << h.form.KomutSatırı.text << " at step " << h.form.SequencerState;
    const CurveRows during = h.form.CurveTable;
    EXPECT_FALSE(RestoreToEditor(h.form, curve::FormatCurveText(Kept())).done);
    EXPECT_EQ(h.form.CurveTable, during);
    ASSERT_TRUE(h.runner.runUntil([&] { return !h.form.CurveExchangeRunning(); }, 30000));

    const CurveRows read = h.form.CurveTable;
    for (const std::string& damaged : {std::string(), std::string("12 13\r\n"), std::string(300, 'x')}) {
        EXPECT_FALSE(RestoreToEditor(h.form, damaged).done);
        EXPECT_EQ(h.form.CurveTable, read);
        EXPECT_EQ(h.form.KomutSatırı.text, "THE RECORD HOLDS NO READABLE CURVE ! ");
    }
}

TEST(ExportCurveFile, FollowsTheSaveButtonsRules) {
    test::TempDir dir;
    const std::string text = curve::FormatCurveText(Kept());
    struct Case {
        const char* what;
        std::string name;
        std::string curve;
        bool done;
        const char* english;
    };
    const std::vector<Case> cases{
        {"a curve file name", "Cur_05.txt", text, true, "FILE NO ERRORS "},
        {"the default curve file", "cur_00.TXT", text, false, "Cur_00.txt IS REWRITTEN AT EVERY START, CHOOSE ANOTHER NAME ! "},
        {"a name without Cur", "egri_05.txt", text, false, "NAME OF INCORRECT FILE ! "},
        {"a damaged record", "Cur_06.txt", "1 2 3\r\n", false, "THE RECORD HOLDS NO READABLE CURVE ! "},
        {"a curve with a wrong end marker", "Cur_06.txt", text.substr(0, text.rfind("<::::>")) + "<:::>\r\n", false,
         "THE RECORD HOLDS NO READABLE CURVE ! "},
        {"a folder that is not there", "gone/Cur_07.txt", text, false, "NO SUCH FOLDER, FILE NOT WRITTEN ! "},
        {"a folder at the name", "Cur_09.txt", text, false, "A FOLDER HAS THIS NAME, FILE NOT WRITTEN ! "},
#ifndef _WIN32
        {"a pipe at the name", "Cur_10.txt", text, false, "THIS NAME IS NOT A PLAIN FILE, NOT WRITTEN ! "},
#endif
    };
    std::filesystem::create_directory(dir.path() / "Cur_09.txt");
#ifndef _WIN32
    ASSERT_EQ(::mkfifo((dir.path() / "Cur_10.txt").c_str(), 0600), 0);
#endif
    for (const Case& c : cases) {
        const std::string full = curve::Utf8FromPath(dir.path() / c.name);
        const CurveOutcome o = ExportCurveFile(c.curve, full);
        EXPECT_EQ(o.done, c.done) << c.what;
        EXPECT_EQ(o.english.substr(0, std::string(c.english).size()), c.english) << c.what;
        // By the path itself: the UTF-8 text as a path would go through the code page on Windows.
        if (!std::filesystem::is_other(dir.path() / c.name)) {  // a pipe is not read: no one writes into it
            EXPECT_EQ(test::ReadWholeFile(dir.path() / c.name), c.done ? text : std::string()) << c.what;
        }
    }
    // A full disk leaves nothing half written.
    if (!test::kDiskLimitAvailable) return;
    const std::string full = curve::Utf8FromPath(dir.path() / "Cur_08.txt");
    {
        test::DiskFull full_disk(16);
        EXPECT_FALSE(ExportCurveFile(text, full).done);
    }
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "Cur_08.txt"));
}

}  // namespace
}  // namespace gasecu::history
