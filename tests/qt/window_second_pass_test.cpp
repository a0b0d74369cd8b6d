// The window's second pass, on virtual time with the built-in virtual ECU: the
// calibration screen shows the run, a curve write keeps the curve on view with a
// labelled progress, the history compares records, the tool windows open whole on
// the screen, and one language holds everywhere. Pictures in both languages at
// 1366x768 and 1024x768 are left beside the test program for a look.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTableView>
#include <QTableWidget>
#include <filesystem>

#include "curve/curve_file_io.h"
#include "curve/curve_text.h"
#include "history/history_store.h"
#include "qt/window_fixture.h"
#include "virtual_ecu.h"
#include "window/calibration_view.h"
#include "window/curve_compare_plot.h"
#include "window/history_compare.h"
#include "window/history_window.h"
#include "window/messages_window.h"
#include "window/virtual_engine_panel.h"
#include "window/write_progress.h"

namespace gasecu {
namespace {

using test::WindowFixture;

void Picture(QWidget& w, const std::string& name) {
    QCoreApplication::processEvents();
    w.grab().save(QString::fromStdString(
        curve::Utf8FromPath(std::filesystem::path(GASECU_BIN).parent_path() / (name + ".png"))));
}

// The window in each language at both screen sizes, pictured.
void PictureEverywhere(WindowFixture& f, const std::string& name, QWidget* shown = nullptr) {
    for (int width : {1366, 1024}) {
        f.window().resize(width, 768);
        // A tool window at the size it opens with on that screen.
        if (shown) shown->resize(width == 1366 ? QSize(1000, 560) : QSize(760, 520));
        for (int language : {0, 1}) {
            f.chooseLanguage(language);
            f.runFor(50);
            Picture(shown ? *shown : f.window(), name + (language ? "-en-" : "-tr-") + std::to_string(width));
        }
    }
    f.window().resize(1366, 768);
}

void Connect(WindowFixture& f) {
    f.widget<QPushButton>("ComOpenButon")->click();
    ASSERT_TRUE(f.waitUntil([&] { return f.form().LinkUp && !f.form().TextBenzinMS.text.empty(); }, 15000));
}

TEST(WindowSecondPass, TheCalibrationScreenShowsTheRun) {
    WindowFixture f(/*simulate=*/true);
    std::filesystem::copy_file(std::filesystem::path(GASECU_BIN).parent_path() / "ORJ.DAT", f.dir.path() / "ORJ.DAT");
    sim::HoldForCalibration(*f.session->ecu());
    f.session->ecu()->engine().setMismatch(0.6);  // a few corrections
    f.window().resize(1366, 768);
    f.window().show();
    f.chooseLanguage(0);
    Connect(f);
    ASSERT_TRUE(f.waitUntil([&] { return f.widget<QPushButton>("ButonAyar")->isEnabled(); }, 5000));
    f.widget<QPushButton>("ButonAyar")->click();
    qt::CalibrationRunView* view = f.window().calibrationView();
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(view->isVisible());
    EXPECT_EQ(view->phase()->text().toStdString(), "Çalışmıyor");
    f.widget<QPushButton>("KalibrasyonBaşlatButon")->click();
    f.runFor(700);
    EXPECT_EQ(view->phase()->text().toStdString(), "Devir bekleniyor (2000-2200 d/d)");

    // Mid-run: the speed in its window, the phase with its iteration, the times
    // of each iteration drawn.
    ASSERT_TRUE(f.waitUntil([&] { return f.form().CalibrationIterations.size() >= 2; }, 60000));
    f.runFor(50);
    EXPECT_TRUE(view->gauge()->inWindow()) << view->gauge()->speed();
    EXPECT_NE(view->phase()->text().indexOf(QStringLiteral("deneme")), -1) << view->phase()->text().toStdString();
    EXPECT_EQ(view->iterations()->sampleCount(), f.form().CalibrationIterations.size());
    EXPECT_FALSE(view->curves()->isVisible());
    PictureEverywhere(f, "second-pass-calibration-running");
    f.chooseLanguage(1);
    f.runFor(50);
    EXPECT_NE(view->phase()->text().indexOf(QStringLiteral("iteration")), -1) << view->phase()->text().toStdString();
    // The instruction in the status line follows the language too.
    EXPECT_EQ(f.form().KomutSatırı.text, "KEEP THE GAS PEDAL IN THE SAME POSITION EVEN THERE IS DIFFERENCE IN RPM !");

    // After the run: the factor, and the reference beside the rescaled curve with
    // the upload offered.
    ASSERT_TRUE(f.waitUntil([&] { return !f.form().CalibrationRunning; }, 120000));
    f.runFor(50);
    EXPECT_TRUE(view->curves()->isVisible());
    EXPECT_TRUE(view->curves()->showsSecondCurve());
    EXPECT_NE(view->slope()->text().indexOf(QStringLiteral("Slope factor")), -1);
    EXPECT_FALSE(f.widget<QPushButton>("Kalibrasyonyükleme")->isHidden());
    PictureEverywhere(f, "second-pass-calibration-ended");
}

TEST(WindowSecondPass, AWriteKeepsTheCurveOnViewWithItsProgressNamed) {
    WindowFixture f(/*simulate=*/true);
    f.window().resize(1366, 768);
    f.window().show();
    f.chooseLanguage(0);
    Connect(f);
    auto* curveScreen = f.widget<QPushButton>("ButonEğri");
    ASSERT_TRUE(f.waitUntil([&] { return curveScreen->isEnabled(); }, 5000));
    curveScreen->click();
    f.form().CurveTable = test::DistinctCurve();
    auto* write = f.widget<QPushButton>("ButonEcuYaz");
    ASSERT_TRUE(f.waitUntil([&] { return write->isVisible() && write->isEnabled(); }, 5000));
    write->click();
    qt::WriteProgressBanner* banner = f.window().writeProgress();
    ASSERT_NE(banner, nullptr);
    QWidget* plot = f.window().widgetFor("EğriPic");

    ASSERT_TRUE(f.waitUntil([&] { return f.form().SequencerState == 30; }, 15000));
    f.runFor(50);
    EXPECT_TRUE(plot->isVisible());
    EXPECT_TRUE(banner->isVisible());
    EXPECT_NE(banner->caption()->text().indexOf(QStringLiteral("yazılıyor (eğri kilitli)")), -1)
        << banner->caption()->text().toStdString();
    EXPECT_GT(banner->bar()->value(), 0);
    PictureEverywhere(f, "second-pass-write-sending");

    ASSERT_TRUE(f.waitUntil([&] { return f.form().CurveWriteChecking && f.form().ProgressBar7.value >= 13; }, 30000));
    f.runFor(50);
    EXPECT_TRUE(plot->isVisible());
    EXPECT_NE(banner->caption()->text().indexOf(QStringLiteral("Reading the curve back")), -1)
        << banner->caption()->text().toStdString();
    PictureEverywhere(f, "second-pass-write-checking");

    ASSERT_TRUE(f.waitUntil([&] { return !f.form().CurveWriteRunning(); }, 60000));
    f.runFor(50);
    EXPECT_FALSE(banner->isVisible());
    EXPECT_EQ(f.form().CurveWriteResult, Form1Korvane::CurveWriteOutcome::Equal);
}

struct HistoryCompareTest : ::testing::Test {
    WindowFixture f;
    qt::HistoryWindow* history = nullptr;
    CurveRows changed = test::DistinctCurve();
    void SetUp() override {
        f.window().resize(1366, 768);
        f.window().show();
        history = f.window().historyControls()->historyWindow();
        auto store = history::HistoryStore::Open(history::HistoryFileIn(f.form().DataDirectory));
        ASSERT_TRUE(store);
        history::Record r;
        r.time = "2026-12-01 09:00:00";
        r.port = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0";
        r.kind = history::Kind::CurveWrite;
        r.result = "equal";
        r.label = "34 ABC 12 Doblo 1.3 Multijet, customer waits";
        r.curveText = curve::FormatCurveText(test::DistinctCurve());
        r.settings = "coils=4\nswitch-rpm=1200\nmin-pressure=0.80\n";
        store->add(r);
        r.kind = history::Kind::SettingsRead;
        r.result = "done";
        r.curveText.clear();
        for (int k = 0; k < 3; ++k) store->add(r);
        changed[4][7] += 12;
        changed[6][2] -= 5;
        r.kind = history::Kind::Calibration;
        r.result = "converged";
        r.slopeFactor = 1.240341;
        r.iterations = 3;
        r.curveText = curve::FormatCurveText(changed);
        store->add(r);
        f.form().KnownSettings = "coils=4\nswitch-rpm=900\nmin-pressure=0.80\n";
        f.form().CurveTable = test::DistinctCurve();
        f.form().env.decimalSeparator = ',';
        f.window().historyControls()->historyButton()->click();
        QCoreApplication::processEvents();
    }
};

TEST_F(HistoryCompareTest, TheListSpeaksTheFittersLanguageAndHidesSettingsReads) {
    f.chooseLanguage(0);
    ASSERT_EQ(history->rowCount(), 5);
    EXPECT_EQ(history->cell(0, 3), "yakınsadı");
    EXPECT_EQ(history->cell(4, 3), "yazıldı, geri okundu, aynı");
    history->hideSettingsReads()->setChecked(true);
    ASSERT_EQ(history->rowCount(), 2);
    // The port whole, the label on one line.
    QTableView* list = history->list();
    const QString port = QString::fromStdString(history->cell(1, 5));
    EXPECT_GE(list->columnWidth(5), list->fontMetrics().horizontalAdvance(port));
    EXPECT_FALSE(list->wordWrap());
    history->choose(0);
    const std::string details = history->details()->toPlainText().toStdString();
    EXPECT_NE(details.find("Eğim faktörü: 1,24"), std::string::npos) << details;
    EXPECT_NE(details.find("EN AZ BASINÇ: 0,80 bar"), std::string::npos) << details;
    // A kind chosen in the filter is shown even when such records are hidden.
    history->kindFilter()->setCurrentIndex(1 + static_cast<int>(history::Kind::SettingsRead));
    EXPECT_EQ(history->rowCount(), 3);
}

TEST_F(HistoryCompareTest, CompareMarksAndListsTheDifferingPointsAndTheSettings) {
    f.chooseLanguage(1);
    history->hideSettingsReads()->setChecked(true);
    history->choose(0);  // the calibration's curve against the editor's
    qt::HistoryComparePanel* compare = history->comparePanel();
    EXPECT_TRUE(history->plot()->showsSecondCurve());
    QListWidget* differences = compare->differences();
    ASSERT_EQ(differences->count(), 3);
    EXPECT_EQ(differences->item(0)->text().toStdString(), "2 points differ (editor → #5):");
    EXPECT_EQ(differences->item(1)->text().toStdString(), "2000 rpm, point 7: 2,10 → 2,70 ms");
    // Its settings beside the ECU's as last read: the switch speed differs.
    QTableWidget* settings = compare->settings();
    ASSERT_EQ(settings->rowCount(), 3);
    EXPECT_EQ(settings->item(1, 1)->text().toStdString(), "1200 rpm");
    EXPECT_EQ(settings->item(1, 2)->text().toStdString(), "900 rpm");
    EXPECT_TRUE(settings->item(1, 1)->font().bold());
    EXPECT_FALSE(settings->item(0, 1)->font().bold());
    PictureEverywhere(f, "second-pass-history-compare", history);
    EXPECT_EQ(history->chosen()->id, 5);  // still chosen after the language changes

    // Against the written curve's record instead of the editor: the same points.
    QComboBox* against = compare->against();
    against->setCurrentIndex(against->findData(qint64{1}));
    ASSERT_EQ(differences->count(), 3);
    EXPECT_EQ(differences->item(0)->text().toStdString(), "2 points differ (#1 → #5):");
    history->choose(1);  // the written curve against itself
    ASSERT_EQ(differences->count(), 1);
    EXPECT_EQ(differences->item(0)->text().toStdString(), "The two curves are equal");
}

TEST(WindowSecondPass, MessagesAndHistoryOpenWholeOnTheScreen) {
    WindowFixture f;
    const QRect screen = f.window().screen()->availableGeometry();
    f.window().resize(1024, 768);
    f.window().move(screen.topLeft());
    f.window().show();
    QCoreApplication::processEvents();
    f.window().toggleMessages();
    f.window().historyControls()->historyButton()->click();
    QCoreApplication::processEvents();
    for (QWidget* tool : {static_cast<QWidget*>(f.window().messagesWindow()),
                          static_cast<QWidget*>(f.window().historyControls()->historyWindow())}) {
        ASSERT_TRUE(tool->isVisible());
        EXPECT_TRUE(screen.contains(tool->frameGeometry()))
            << tool->objectName().toStdString() << " at " << tool->frameGeometry().x() << ","
            << tool->frameGeometry().y() << " " << tool->frameGeometry().width() << "x"
            << tool->frameGeometry().height();
    }
}

TEST(WindowSecondPass, OneLanguageEverywhere) {
    WindowFixture f(/*simulate=*/true, /*enginePanel=*/true);
    VirtualEnginePanel* panel = f.session->enginePanel();
    ASSERT_NE(panel, nullptr);
    const QString lookIn = QStringLiteral("Look in:");
    struct Case {
        int language;
        const char* injector;
        const char* filter;
        const char* panelTitle;
        bool qtTranslated;
    };
    for (const Case& c : {Case{0, "ENJ", "eğriler (*.txt) Örnek: Cur_xx.txt", "Sanal motor", true},
                          Case{1, "INJ", "curves (*.txt) Example: Cur_xx.txt", "Virtual engine", false}}) {
        f.chooseLanguage(c.language);
        panel->refresh();
        EXPECT_EQ(f.form().Label20.caption, c.injector);
        EXPECT_EQ(f.form().CommonDialog1.filter, c.filter);
        EXPECT_EQ(panel->windowTitle().toStdString(), c.panelTitle);
        // Qt's own dialogs: Debian's Turkish translation is loaded for Turkish only.
        EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Look in:") != lookIn, c.qtTranslated);
    }
}

}  // namespace
}  // namespace gasecu
