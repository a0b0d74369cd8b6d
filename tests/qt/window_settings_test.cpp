// The settings screen of the window on the virtual ECU: keys typed into an entry
// box reach the ECU only on Enter, the advance list writes the chosen entry, and
// the factory-settings button asks in the fitter's language before it starts.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <filesystem>

#include "window/main_window.h"
#include "qt/qt_test_app.h"
#include "qt/window_fixture.h"
#include "virtual_ecu.h"
#include "curve/curve_file_io.h"

namespace gasecu {
namespace {

using test::ModalAnswer;
using test::WindowFixture;

void Type(QWidget* box, const QString& text) {
    for (QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(box, &press);
    }
}

void PressEnter(QWidget* box) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    QApplication::sendEvent(box, &press);
}

struct SettingsWindow : ::testing::Test {
    WindowFixture f{/*simulate=*/true};
    void SetUp() override {
        f.window().resize(1366, 768);
        f.window().show();
        f.widget<QPushButton>("ComOpenButon")->click();
        ASSERT_TRUE(f.waitUntil([&] { return f.form().LinkUp && f.form().SequencerState == 8; }, 15000));
        // The screen buttons unlock with the first live reply.
        ASSERT_TRUE(f.waitUntil([&] { return f.widget<QPushButton>("ButonSetup")->isEnabled(); }, 15000));
        f.widget<QPushButton>("ButonSetup")->click();
        // The petrol command, the six pages, then a live reply unlocks the boxes.
        ASSERT_EQ(f.form().SequencerState, 290);
        ASSERT_TRUE(f.waitUntil(
            [&] { return f.form().SequencerState == 8 && f.widget<QLineEdit>("SetPXXPressureTextBox")->isEnabled(); },
            20000));
    }
    void save(const char* name) {
        f.window().grab().save(QString::fromStdString(curve::Utf8FromPath(std::filesystem::path(GASECU_BIN).parent_path() / name)));
    }
};

TEST_F(SettingsWindow, TypedValueGoesOutOnEnterAndTheBoxShowsTheReadBack) {
    sim::VirtualEcu& ecu = *f.session->ecu();
    auto* box = f.widget<QLineEdit>("SetPXXPressureTextBox");
    box->setFocus();
    box->selectAll();
    Type(box, QStringLiteral("1,20"));
    EXPECT_EQ(box->text(), QStringLiteral("1,20"));
    EXPECT_EQ(f.form().SetPXXPressureTextBox.text, "1,20");
    f.runFor(1200);
    EXPECT_EQ(ecu.setting(51), 70);  // nothing written before Enter
    PressEnter(box);
    EXPECT_EQ(f.form().SequencerState, 46);
    ASSERT_TRUE(f.waitUntil([&] { return ecu.setting(51) == 120; }, 15000));
    ASSERT_TRUE(f.waitUntil([&] { return box->isEnabled() && box->text() == QStringLiteral("1.20"); }, 20000));
    // The write ends with its own result, the setting and the value read back.
    EXPECT_EQ(f.form().KomutSatırı.text, "AYAR YAZILDI : EN AZ BASINÇ 1.20 bar");
    save("window-settings-written.png");

    // An entry out of range names the range; the box shows the ECU's value again.
    box->selectAll();
    Type(box, QStringLiteral("3"));
    PressEnter(box);
    EXPECT_EQ(box->text(), QStringLiteral("1.20"));
    EXPECT_EQ(f.form().KomutSatırı.text, "GEÇERSİZ DEĞER ! EN AZ BASINÇ : 0.40 - 1.80 bar");
    save("window-settings-refused.png");
}

TEST_F(SettingsWindow, AdvanceListWritesTheChosenEntry) {
    auto* list = f.widget<QComboBox>("avas");
    list->setCurrentIndex(5);
    emit list->activated(5);
    ASSERT_TRUE(f.waitUntil([&] { return f.session->ecu()->memory().settingWord(55) == 312; }, 15000));
    ASSERT_TRUE(
        f.waitUntil([&] { return f.widget<QLineEdit>("msavvv")->text() == QStringLiteral("1.25") && list->isEnabled(); },
                  20000))
        << f.widget<QLineEdit>("msavvv")->text().toStdString() << " state " << f.form().SequencerState << " "
        << f.form().KomutSatırı.text;
}

TEST_F(SettingsWindow, FactorySettingsAskFirstInTheFittersLanguage) {
    auto* button = f.widget<QPushButton>("ButonLoadFabricSettings");
    QString text;
    {
        ModalAnswer answer([&text](QWidget* dialog) {
            auto* box = qobject_cast<QMessageBox*>(dialog);
            ASSERT_NE(box, nullptr);
            text = box->text();
            box->findChild<QPushButton*>("no")->click();
        });
        button->click();
        ASSERT_TRUE(answer.opened());
    }
    EXPECT_EQ(text, QString::fromUtf8("EKÜ'deki bütün ayarlar fabrika değerleriyle değiştirilecek. Devam edilsin mi?"));
    EXPECT_EQ(f.form().SequencerState, 8);
    {
        ModalAnswer answer([](QWidget* dialog) { dialog->findChild<QPushButton*>("yes")->click(); });
        button->click();
    }
    EXPECT_EQ(f.form().SequencerState, 48);
    ASSERT_TRUE(f.waitUntil([&] { return f.form().ProgressBar9.value >= 3; }, 15000));
    EXPECT_FALSE(button->isEnabled());
    EXPECT_FALSE(f.widget<QWidget>("SettingsSettingsPic")->isVisible());
    save("window-factory-running.png");
}

}  // namespace
}  // namespace gasecu
