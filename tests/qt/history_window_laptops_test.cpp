// The workshop's history in the window: every laptop's records with the laptop's
// name, a filter by laptop, and another laptop's record marked read-only.
#include <QComboBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <sqlite3.h>

#include "curve/curve_file_io.h"
#include "history/history_store.h"
#include "qt/window_fixture.h"
#include "window/history_window.h"

namespace gasecu {
namespace {

TEST(HistoryWindowLaptops, ListsEachRecordsLaptopFiltersByItAndMarksAnotherLaptopsRecordReadOnly) {
    test::WindowFixture f;
    f.window().show();
    const auto file = history::HistoryFileIn(f.form().DataDirectory);
    {
        auto store = history::HistoryStore::Open(file);
        history::Record r;
        r.time = "2026-12-01 09:00:00";
        r.kind = history::Kind::FaultClear;
        r.result = "done";
        r.label = "34 ABC 12 Doblo";
        r.laptop = "atolye-1";
        store->add(r);
        r.time = "2026-12-02 09:00:00";
        r.label = "06 XY 99 Corolla";
        r.laptop = "atolye-2";
        store->add(r);
    }
    // As a sync keeps another laptop's record.
    sqlite3* db = nullptr;
    sqlite3_open(curve::Utf8FromPath(file).c_str(), &db);
    ASSERT_EQ(sqlite3_exec(db, "UPDATE records SET pulled = 1 WHERE laptop = 'atolye-2'", nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);

    qt::HistoryWindow* history = f.window().historyControls()->historyWindow();
    f.window().historyControls()->historyButton()->click();
    ASSERT_EQ(history->rowCount(), 2);
    EXPECT_EQ(history->cell(0, 6), "atolye-2");
    EXPECT_EQ(history->cell(1, 6), "atolye-1");
    QComboBox* laptops = history->laptopFilter();
    ASSERT_EQ(laptops->count(), 3);
    EXPECT_EQ(laptops->itemText(2).toStdString(), "atolye-2");

    laptops->setCurrentIndex(2);
    ASSERT_EQ(history->rowCount(), 1);
    EXPECT_EQ(history->cell(0, 4), "06 XY 99 Corolla");
    history->choose(0);
    const std::string details = history->details()->toPlainText().toStdString();
    EXPECT_NE(details.find(f.form().LanguageIndex == 1 ? "made on atolye-2 (read-only)" : "atolye-2 dizüstünde yapıldı (salt okunur)"),
              std::string::npos)
        << details;
    // The choice stays through a refresh.
    history->refresh();
    EXPECT_EQ(laptops->currentText().toStdString(), "atolye-2");
    EXPECT_EQ(history->rowCount(), 1);
}

}  // namespace
}  // namespace gasecu
