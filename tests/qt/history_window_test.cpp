// The history in the window: the job label the records carry, the list newest
// first with its filters, the chosen record's curve over the editor's, its curve
// back into the editor as one undo step, and its export through the save rules.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "curve/curve_text.h"
#include "history/history_store.h"
#include "window/history_window.h"
#include "qt/window_fixture.h"
#include "support/disk_full.h"
#include "curve/curve_file_io.h"

namespace gasecu {
namespace {

class SaveAnswer final : public FileDialogs {
public:
    std::string answer;
    std::string showOpen(const FileDialogControl&) override { return answer; }
    std::string showSave(const FileDialogControl&) override { return answer; }
};

struct HistoryWindowTest : ::testing::Test {
    test::WindowFixture f;
    qt::HistoryControls* controls = nullptr;
    qt::HistoryWindow* history = nullptr;
    void SetUp() override {
        f.window().show();
        controls = f.window().historyControls();
        ASSERT_NE(controls, nullptr);
        history = controls->historyWindow();
        auto store = history::HistoryStore::Open(history::HistoryFileIn(f.form().DataDirectory));
        ASSERT_TRUE(store);
        history::Record r;
        r.time = "2026-12-01 09:00:00";
        r.port = "/dev/ttyUSB0";
        r.result = "done";
        r.kind = history::Kind::CurveRead;
        r.label = "34 ABC 12 Doblo";
        r.curveText = curve::FormatCurveText(test::DistinctCurve());
        r.settings = "coils=4\nswitch-rpm=1200\n";
        store->add(r);
        r.kind = history::Kind::SettingsRead;
        r.time = "2026-12-05 10:00:00";
        r.label = "06 XY 99 Corolla";
        r.curveText.clear();
        store->add(r);
    }
    int rows() const { return history->rowCount(); }
    std::string cell(int row, int column) const { return history->cell(row, column); }
};

TEST_F(HistoryWindowTest, ListsNewestFirstAndFilters) {
    controls->historyButton()->click();
    ASSERT_TRUE(history->isVisible());
    ASSERT_EQ(rows(), 2);
    EXPECT_EQ(cell(0, 4), "06 XY 99 Corolla");
    EXPECT_EQ(cell(1, 4), "34 ABC 12 Doblo");

    history->labelFilter()->setText(QStringLiteral("abc"));
    ASSERT_EQ(rows(), 1);
    EXPECT_EQ(cell(0, 4), "34 ABC 12 Doblo");
    history->labelFilter()->clear();
    history->fromDate()->setText(QStringLiteral("2026-12-02"));
    ASSERT_EQ(rows(), 1);
    EXPECT_EQ(cell(0, 4), "06 XY 99 Corolla");
    history->fromDate()->clear();
    history->kindFilter()->setCurrentIndex(1 + static_cast<int>(history::Kind::CurveRead));
    ASSERT_EQ(rows(), 1);
    EXPECT_EQ(cell(0, 2), f.form().LanguageIndex == 1 ? "Curve read from the ECU" : "EKÜ'den eğri okundu");
}

TEST_F(HistoryWindowTest, TheChosenCurveGoesBackIntoTheEditorAsOneUndoStep) {
    controls->historyButton()->click();
    const CurveRows before = f.form().CurveTable;
    history->choose(1);  // the curve read
    ASSERT_TRUE(history->chosen());
    // The settings in the fitter's words, not the commands' names.
    const std::string details = history->details()->toPlainText().toStdString();
    EXPECT_NE(details.find(f.form().LanguageIndex == 1 ? "TRANSITION SPEED: 1200 rpm" : "GEÇİŞ DEVRİ: 1200 rpm"),
              std::string::npos)
        << details;
    history->restoreToEditor();
    EXPECT_EQ(f.form().CurveTable, test::DistinctCurve());
    f.form().ButonGeriAl_Click();
    EXPECT_EQ(f.form().CurveTable, before);

    // A record without a curve offers neither restore nor export.
    history->choose(0);
    history->restoreToEditor();
    EXPECT_EQ(f.form().CurveTable, before);
}

TEST_F(HistoryWindowTest, ExportWritesTheCurveFileAndRefusesTheDefaultName) {
    SaveAnswer dialog;
    f.form().env.fileDialogs = &dialog;
    controls->historyButton()->click();
    history->choose(1);
    // Read back by path, never through the narrow text of the dialog's answer.
    const std::filesystem::path defaultFile = f.dir.path() / "Cur_00.txt";
    dialog.answer = curve::Utf8FromPath(defaultFile);
    const std::string defaultCurve = test::ReadWholeFile(defaultFile);
    history->exportCurve();
    EXPECT_EQ(test::ReadWholeFile(defaultFile), defaultCurve);
    EXPECT_EQ(f.form().KomutSatırı.text.substr(0, 10), "Cur_00.txt");  // the refusal, in either language

    const std::filesystem::path exported = f.dir.path() / "Cur_04.txt";
    dialog.answer = curve::Utf8FromPath(exported);
    history->exportCurve();
    EXPECT_EQ(test::ReadWholeFile(exported), curve::FormatCurveText(test::DistinctCurve()));
}

TEST_F(HistoryWindowTest, TheJobLabelGoesIntoTheRecordsAndANotKeptRecordShows) {
    QLineEdit* label = controls->labelField();
    label->setText(QStringLiteral("35 KL 77 Fiorino"));
    emit label->textEdited(label->text());  // as the fitter's typing reports it
    EXPECT_EQ(f.form().JobLabel, "35 KL 77 Fiorino");
    f.form().NoteRestorePoint(history::Kind::FileSave, "done", "x/Cur_01.txt");
    f.form().SettleRestorePoints();
    auto store = history::HistoryStore::Open(history::HistoryFileIn(f.form().DataDirectory));
    EXPECT_EQ(store->list({}).front().label, "35 KL 77 Fiorino");
    EXPECT_EQ(store->lastLabel(), "35 KL 77 Fiorino");

    EXPECT_FALSE(controls->showsNotKept());
    if (!test::kDiskLimitAvailable) GTEST_SKIP() << "the record not kept needs a full disk, which Windows cannot fake";
    {
        test::DiskFull full(0);
        f.window().runHandler([&] {
            f.form().NoteRestorePoint(history::Kind::FileSave, "done", "x/Cur_02.txt");
            f.form().SettleRestorePoints();
        });
    }
    EXPECT_TRUE(controls->showsNotKept());
    f.window().runHandler([&] {
        f.form().NoteRestorePoint(history::Kind::FileSave, "done", "x/Cur_03.txt");
        f.form().SettleRestorePoints();
    });
    EXPECT_FALSE(controls->showsNotKept());
}

}  // namespace
}  // namespace gasecu
