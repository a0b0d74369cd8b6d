// The window under the offscreen platform: start-up state on the widgets, user
// events reaching the form's handlers, timers following the form, the arrow keys.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/control_registry.h"
#include "window/main_window.h"
#include "window/qt_timers.h"
#include "window/session.h"
#include "qt/qt_test_app.h"
#include "qt/window_fixture.h"
#include "support/temp_dir.h"
#include "curve/curve_file_io.h"

namespace gasecu {
namespace {

using qt::MainWindow;
using qt::Session;
using qt::SessionOptions;

using test::WindowFixture;
using test::RunEventLoopFor;
using test::WaitUntil;

std::string ReadFile(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(Window, StartsInTheLoadedState) {
    // The program's own timers: the real QTimers follow the form's.
    WindowFixture f(/*simulate=*/false, /*enginePanel=*/false, test::Clocking::Real);
    MainWindow& w = f.window();
    EXPECT_EQ(w.windowTitle(), "[*]gasecu - LPG/CNG EKÜ servis aracı");  // "*gasecu ..." while the curve has unsaved changes
    EXPECT_FALSE(w.isWindowModified());

    for (const char* bar : {"ProgressBar7", "ProgressBar8", "ProgressBar9", "ProgressBar10", "ProgressBar11",
                            "ProgressBar12"})
        EXPECT_TRUE(f.widget<QProgressBar>(bar)->isHidden()) << bar;
    for (const char* button : {"ButonDisktenOku", "ButonDiskeYaz", "ButonEcuOku", "ButonEcuYaz"})
        EXPECT_TRUE(f.widget<QPushButton>(button)->isHidden()) << button;
    for (const char* button : {"ButonEğri", "ButonSetup", "ButonAyar", "ComOpenButon", "ExitButon"})
        EXPECT_FALSE(f.widget<QPushButton>(button)->isHidden()) << button;
    // The curve screen is on view; the other two wait for their buttons.
    EXPECT_FALSE(w.widgetFor("EğriKağıdıPic")->isHidden());
    EXPECT_TRUE(w.widgetFor("SettingsSettingsPic")->isHidden());
    EXPECT_TRUE(w.widgetFor("KalibrasyonPic")->isHidden());

    // Timer1 500 ms, Timer3 25 ms and Timer4 600 ms run; Timer2 and Timer5 wait.
    const int intervals[] = {500, 75, 25, 600, 10};
    const bool running[] = {true, false, true, true, false};
    for (int i = 0; i < 5; ++i) {
        const QTimer* t = f.session->realTimers()->timer(i);
        ASSERT_NE(t, nullptr);
        EXPECT_EQ(t->isActive(), running[i]) << "Timer" << i + 1;
        if (running[i]) {
            EXPECT_EQ(t->interval(), intervals[i]) << "Timer" << i + 1;
        }
    }

    ASSERT_NE(f.form().Iletisim, nullptr);
    EXPECT_FALSE(f.form().Iletisim->isOpen());
    auto* status = f.widget<QLineEdit>("KomutSatırı");
    EXPECT_TRUE(status->text().startsWith("gasecu ")) << status->text().toStdString();
    EXPECT_EQ(status->text().toStdString(), f.form().KomutSatırı.text);
    EXPECT_TRUE(status->isReadOnly());

    // Turkish captions from the start (no "Dilsecim" yet), degree marks shown.
    EXPECT_EQ(f.widget<QPushButton>("ComOpenButon")->text(), QString::fromUtf8("Ekü'ye Bağlan"));
    EXPECT_FALSE(f.widget<QLabel>("Label26")->isHidden());
    EXPECT_EQ(f.widget<QComboBox>("Dilsec")->currentText(), "TR");
}

TEST(Window, ChoosingEnglishSwitchesCaptionsAndStoresTheChoice) {
    WindowFixture f;
    auto* list = f.widget<QComboBox>("Dilsec");
    ASSERT_EQ(list->count(), 2);
    list->setCurrentIndex(1);
    emit list->activated(1);  // what the user's choice in the list emits

    EXPECT_EQ(f.form().LanguageIndex, 1);
    EXPECT_EQ(f.widget<QPushButton>("ComOpenButon")->text(), "Access ECU");
    EXPECT_EQ(f.widget<QPushButton>("ButonEğri")->text(), "Curve");
    EXPECT_EQ(f.widget<QLabel>("Label6")->text(), "General Settings");
    EXPECT_TRUE(f.widget<QLabel>("Label26")->isHidden());
    EXPECT_TRUE(f.widget<QLabel>("Label27")->isHidden());
    EXPECT_EQ(ReadFile(f.form().DataDirectory / "Dilsecim").substr(0, 1), "1");

    // The program's own selection (a language re-applied) never counts as the
    // user's: mirroring it must not write the file again.
    std::filesystem::remove(f.form().DataDirectory / "Dilsecim");
    f.window().runHandler([&] {
        f.form().LanguageIndex = 0;
        f.form().ApplyLanguageIndex();
    });
    EXPECT_EQ(list->currentIndex(), 0);
    EXPECT_EQ(f.widget<QPushButton>("ComOpenButon")->text(), QString::fromUtf8("Ekü'ye Bağlan"));
    EXPECT_FALSE(std::filesystem::exists(f.form().DataDirectory / "Dilsecim"));
}

TEST(Window, ScreenButtonsSwitchTheWorkArea) {
    WindowFixture f;
    f.widget<QPushButton>("ButonSetup")->click();
    EXPECT_TRUE(f.window().widgetFor("EğriKağıdıPic")->isHidden());
    EXPECT_FALSE(f.window().widgetFor("SettingsSettingsPic")->isHidden());
    EXPECT_FALSE(f.widget<QPushButton>("ButonSetup")->isEnabled());
    EXPECT_EQ(f.widget<QLineEdit>("KomutSatırı")->text(), "AYARLAR");
    // Dark cyan marks the active screen button.
    EXPECT_EQ(f.widget<QPushButton>("ButonSetup")->palette().color(QPalette::Disabled, QPalette::Button),
              QColor(0, 64, 64));
    EXPECT_EQ(f.widget<QPushButton>("ButonEğri")->palette().color(QPalette::Button), QColor(255, 255, 255));

    f.widget<QPushButton>("ButonEğri")->click();
    EXPECT_FALSE(f.window().widgetFor("EğriKağıdıPic")->isHidden());
    EXPECT_TRUE(f.window().widgetFor("SettingsSettingsPic")->isHidden());
    EXPECT_FALSE(f.widget<QPushButton>("ButonEcuOku")->isHidden());
}

TEST(Window, CheckBoxesCarryTheUsersClickAndShowTheProgramsChanges) {
    WindowFixture f;
    auto* upper = f.widget<QCheckBox>("CheckÜ(3)");
    auto* lower = f.widget<QCheckBox>("CheckA(3)");
    upper->click();
    EXPECT_EQ(f.form().CheckÜ[3].value(), 1);
    lower->click();
    // The point rule runs on the user's click: a point is raised or lowered, not both.
    EXPECT_EQ(f.form().CheckA[3].value(), 1);
    EXPECT_EQ(f.form().CheckÜ[3].value(), 0);
    EXPECT_TRUE(lower->isChecked());
    EXPECT_FALSE(upper->isChecked());

    // A change by the program shows without counting as a click.
    int clicks = 0;
    QObject::connect(f.widget<QCheckBox>("CheckÜ(7)"), &QCheckBox::clicked, [&] { ++clicks; });
    f.window().runHandler([&] { f.form().CheckÜ[7].setValue(1); });
    EXPECT_TRUE(f.widget<QCheckBox>("CheckÜ(7)")->isChecked());
    EXPECT_EQ(clicks, 0);

    // Opening the curve screen unticks every box, on screen too.
    f.widget<QPushButton>("ButonEğri")->click();
    for (int k = 0; k <= 18; ++k) {
        EXPECT_FALSE(f.widget<QCheckBox>("CheckÜ(" + std::to_string(k) + ")")->isChecked()) << k;
        EXPECT_FALSE(f.widget<QCheckBox>("CheckA(" + std::to_string(k) + ")")->isChecked()) << k;
    }
}

TEST(Window, PropertiesOfEveryKindReachTheWidgets) {
    WindowFixture f;
    f.window().runHandler([&] {
        f.form().ProgressBar2[0].value = 1.37f;
        f.form().ProgressBar2[0].visible = true;
        f.form().Label3.foreColour = colours::kRed;
        f.form().avas.selectedIndex = 5;
        f.form().Coil.text = "4";
        f.form().ButonGenel.enabled = false;
    });
    auto* bar = f.widget<QProgressBar>("ProgressBar2(0)");
    EXPECT_EQ(bar->value(), 137);  // hundredths of a bar
    EXPECT_EQ(bar->maximum(), 200);
    // (The gas type lamp is greyed while the link is down: its own colour is the active one.)
    EXPECT_EQ(f.widget<QLabel>("Label3")->palette().color(QPalette::Active, QPalette::WindowText), QColor(255, 0, 0));
    EXPECT_EQ(f.widget<QComboBox>("avas")->currentText(), "1.25 ms");
    EXPECT_EQ(f.widget<QLineEdit>("Coil")->text(), "4");
    EXPECT_FALSE(f.widget<QPushButton>("ButonGenel")->isEnabled());

    // What the fitter types in an entry box is the box's text for the handlers.
    auto* coil = f.widget<QLineEdit>("Coil");
    coil->setText("");
    emit coil->textEdited("3");
    EXPECT_EQ(f.form().Coil.text, "3");
    EXPECT_FALSE(coil->isReadOnly());
    EXPECT_TRUE(f.widget<QLineEdit>("TextBasinc")->isReadOnly());
}

TEST(Window, TimersFollowTheFormAndTickIt) {
    WindowFixture f(/*simulate=*/false, /*enginePanel=*/false, test::Clocking::Real);
    const QTimer* editTimer = f.session->realTimers()->timer(1);
    int ticks = 0;
    f.form().Timer2.setTickHandler([&] { ++ticks; });
    f.window().runHandler([&] {
        f.form().Timer2.setInterval(5);
        f.form().Timer2.setEnabled(true);
    });
    EXPECT_TRUE(editTimer->isActive());
    EXPECT_EQ(editTimer->interval(), 5);
    EXPECT_TRUE(WaitUntil([&] { return ticks >= 2; }, 2000));
    f.window().runHandler([&] { f.form().Timer2.setEnabled(false); });
    EXPECT_FALSE(editTimer->isActive());
    int stoppedAt = ticks;
    RunEventLoopFor(30);
    EXPECT_EQ(ticks, stoppedAt);
}

// Shows the window as the one the fitter works in; false where the platform
// cannot activate windows.
bool ShowActive(MainWindow& w) {
    w.show();
    w.activateWindow();
    QApplication::setActiveWindow(&w);
    return WaitUntil([&] { return w.isActiveWindow(); }, 1000);
}

TEST(Window, ArrowKeysReachTheEditorOnlyWhileTheWindowIsActive) {
    WindowFixture f;
    MainWindow& w = f.window();
    if (!ShowActive(w)) GTEST_SKIP() << "the platform cannot activate windows";
    QWidget* target = w.widgetFor("EğriPic");

    QKeyEvent press(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &press);
    EXPECT_NE(f.form().ArrowKeys.query(ArrowKey::Up), 0);
    EXPECT_EQ(f.form().ArrowKeys.query(ArrowKey::Down), 0);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Up, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &release);
    EXPECT_EQ(f.form().ArrowKeys.query(ArrowKey::Up), 0);

    // A key held while another window takes over counts as released.
    QKeyEvent left(QEvent::KeyPress, Qt::Key_Left, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &left);
    QWidget other;
    other.show();
    other.activateWindow();
    QApplication::setActiveWindow(&other);
    ASSERT_TRUE(WaitUntil([&] { return !w.isActiveWindow(); }, 1000));
    EXPECT_EQ(f.form().ArrowKeys.query(ArrowKey::Left), 0);
    // ...and keys typed there never reach the editor.
    QKeyEvent elsewhere(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier);
    QCoreApplication::sendEvent(&other, &elsewhere);
    QCoreApplication::sendEvent(target, &elsewhere);
    EXPECT_EQ(f.form().ArrowKeys.query(ArrowKey::Right), 0);
}

// The keyboard belongs to the curve unless the fitter typed into a box: a click
// on the plot or a band button takes it back, a closed file dialog leaves it
// where it was, and a box that has it shows it.
TEST(Window, TheCurveHasTheKeyboardUntilTheFitterTypesIntoABox) {
    WindowFixture f;
    MainWindow& w = f.window();
    if (!ShowActive(w)) GTEST_SKIP() << "the platform cannot activate windows";
    QWidget* plot = w.widgetFor("EğriPic");
    auto* label = w.findChild<QLineEdit*>(QStringLiteral("JobLabel"));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(QApplication::focusWidget(), plot);
    const QColor plain = label->palette().color(QPalette::Base);

    auto click = [](QWidget* target) {
        const QPointF at(target->width() / 2.0, target->height() / 2.0);
        for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QMouseEvent e(type, at, target->mapToGlobal(at), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
            QCoreApplication::sendEvent(target, &e);
        }
    };
    for (const char* takesItBack : {"EğriPic", "devir3000"}) {
        SCOPED_TRACE(takesItBack);
        label->setFocus(Qt::MouseFocusReason);
        EXPECT_NE(label->palette().color(QPalette::Base), plain);  // the box shows it has the keyboard
        click(w.widgetFor(takesItBack));
        EXPECT_EQ(QApplication::focusWidget(), plot);
        EXPECT_EQ(label->palette().color(QPalette::Base), plain);
    }
    // A cancelled save dialog gives the keyboard back to the curve, not to the box.
    {
        test::ModalAnswer answer([](QWidget* dialog) { qobject_cast<QDialog*>(dialog)->reject(); });
        f.widget<QPushButton>("ButonDiskeYaz")->click();
        ASSERT_TRUE(answer.opened());
    }
    ASSERT_TRUE(ShowActive(w));  // the window manager hands the window back
    EXPECT_EQ(QApplication::focusWidget(), plot);
    // With the curve's keyboard, an arrow key reaches the editor.
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier);
    QCoreApplication::sendEvent(plot, &press);
    EXPECT_NE(f.form().ArrowKeys.query(ArrowKey::Up), 0);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Up, Qt::NoModifier);
    QCoreApplication::sendEvent(plot, &release);
}

// The arrow keys drive the curve only while the curve screen is on view and no
// box or list has the keyboard: Down in the language list used to switch the
// language and lower a point; Left in the coil box tilted the hidden curve.
TEST(Window, ArrowKeysReachTheCurveOnlyFromTheCurveScreenAndNotFromABoxOrList) {
    WindowFixture f;
    MainWindow& w = f.window();
    if (!ShowActive(w)) GTEST_SKIP() << "the platform cannot activate windows";
    auto send = [](QWidget* target, Qt::Key key) {
        target->setFocus(Qt::OtherFocusReason);
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &press);
    };
    // The language list, on the curve screen.
    send(w.widgetFor("Dilsec"), Qt::Key_Down);
    EXPECT_EQ(f.form().ArrowKeys.query(ArrowKey::Down), 0);
    // The plot itself: the editor hears it, and the release always counts.
    send(w.widgetFor("EğriPic"), Qt::Key_Up);
    EXPECT_NE(f.form().ArrowKeys.query(ArrowKey::Up), 0);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Up, Qt::NoModifier);
    QCoreApplication::sendEvent(w.widgetFor("Dilsec"), &release);
    EXPECT_EQ(f.form().ArrowKeys.query(ArrowKey::Up), 0);

    // The settings screen: neither the coil box nor any button reaches the curve.
    f.widget<QPushButton>("ButonSetup")->click();
    QCoreApplication::processEvents();
    ASSERT_FALSE(f.form().EğriKağıdıPic.visible);
    send(w.widgetFor("Coil"), Qt::Key_Left);
    EXPECT_EQ(f.form().ArrowKeys.query(ArrowKey::Left), 0);
    send(w.widgetFor("ButonGenel"), Qt::Key_Right);
    EXPECT_EQ(f.form().ArrowKeys.query(ArrowKey::Right), 0);
}

// All four arrow keys on every kind of control that can hold the keyboard: on
// the curve screen a button, a point box or the plot passes them to the curve,
// a list keeps them (Left and Right, which a combo box does not use, went on to
// its parent and tilted the curve); on the settings screen nothing reaches it.
TEST(Window, EveryArrowKeyOnEveryKindOfFocusedControl) {
    WindowFixture f;
    MainWindow& w = f.window();
    if (!ShowActive(w)) GTEST_SKIP() << "the platform cannot activate windows";
    struct Case {
        const char* control;
        const char* kind;
        bool curveScreen;
        bool reachesTheCurve;
    } const cases[] = {
        {"Dilsec", "language list", true, false},
        {"ButonEcuOku", "button", true, true},
        {"hepsi", "button on the plot", true, true},
        {"CheckÜ(4)", "point box", true, true},
        {"EğriPic", "plot", true, true},
        {"Dilsec", "language list", false, false},
        {"avas", "advance list", false, false},
        {"Coil", "entry box", false, false},
        {"ButonGenel", "button", false, false},
    };
    const std::pair<Qt::Key, ArrowKey> keys[] = {
        {Qt::Key_Up, ArrowKey::Up}, {Qt::Key_Down, ArrowKey::Down},
        {Qt::Key_Left, ArrowKey::Left}, {Qt::Key_Right, ArrowKey::Right}};
    for (const Case& k : cases) {
        if (k.curveScreen) f.widget<QPushButton>("ButonEğri")->click();
        else f.widget<QPushButton>("ButonSetup")->click();
        QCoreApplication::processEvents();
        ASSERT_EQ(f.form().EğriKağıdıPic.visible, k.curveScreen);
        QWidget* target = w.widgetFor(k.control);
        ASSERT_NE(target, nullptr) << k.control;
        target->setFocus(Qt::OtherFocusReason);
        ASSERT_TRUE(target->hasFocus()) << k.control;
        const int language = f.widget<QComboBox>("Dilsec")->currentIndex();
        for (const auto& [qtKey, arrow] : keys) {
            SCOPED_TRACE(std::string(k.kind) + " " + k.control + (k.curveScreen ? " on the curve screen" : "") +
                         " key " + std::to_string(static_cast<int>(arrow)));
            f.form().ArrowKeys.focusLost();
            // Sent to the focused control as the keyboard would: an event the
            // control does not take goes on to its parents.
            QKeyEvent press(QEvent::KeyPress, qtKey, Qt::NoModifier);
            QCoreApplication::sendEvent(QApplication::focusWidget(), &press);
            EXPECT_EQ(f.form().ArrowKeys.query(arrow) != 0, k.reachesTheCurve);
            QKeyEvent release(QEvent::KeyRelease, qtKey, Qt::NoModifier);
            QCoreApplication::sendEvent(QApplication::focusWidget(), &release);
            EXPECT_EQ(f.form().ArrowKeys.query(arrow), 0);
            // A list that took Up or Down moved its choice; put it back.
            if (auto* list = qobject_cast<QComboBox*>(target)) list->setCurrentIndex(list == w.widgetFor("Dilsec") ? language : 0);
            target->setFocus(Qt::OtherFocusReason);
        }
    }
}

TEST(Window, ClosingTheWindowEndsTheProgram) {
    WindowFixture f;
    int exits = 0;
    QObject::connect(&f.window(), &MainWindow::exitRequested, [&] { ++exits; });
    f.window().show();
    f.window().close();
    EXPECT_EQ(exits, 1);
    f.form().onExit();  // a later exit request is not reported twice
    EXPECT_EQ(exits, 1);
}

// --simulate: the virtual ECU answers on port 1.
TEST(WindowSimulate, VirtualEcuAnswersAProbeOnItsPort) {
    WindowFixture f(/*simulate=*/true);
    ASSERT_TRUE(f.session->simulated());
    EXPECT_TRUE(f.window().windowTitle().contains("sanal EKÜ"));
    SerialPort& port = *f.form().Iletisim;
    int receiveEvents = 0;
    Bytes reply;
    port.setEventHandler([&](int kind) {
        if (kind != kPortEventReceive) return;
        ++receiveEvents;
        reply = port.readAll();
    });
    ASSERT_TRUE(port.setPortNumber(1));
    ASSERT_TRUE(port.open());
    ASSERT_FALSE(f.form().LiveDataRequest.empty());
    ASSERT_TRUE(port.send(f.form().LiveDataRequest));
    ASSERT_TRUE(f.waitUntil([&] { return receiveEvents > 0; }, 2000));
    EXPECT_EQ(reply.size(), 13u);
    port.close();
}

// The form's ticks run on the session's loop while the window lives and stop
// with it: a window closed while its ECU was polled leaves nothing ticking on a
// loop that goes on (the service commands run one after another on one loop).
TEST(WindowSimulate, TheTimersTickOnTheSessionsLoopAndStopWithTheWindow) {
    WindowFixture f(/*simulate=*/true);
    f.widget<QPushButton>("ComOpenButon")->click();
    ASSERT_TRUE(f.waitUntil([&] { return f.form().LinkUp && f.form().SequencerState == 8; }, 15000));
    // Two polls a second, each mirrored onto the window without a click.
    const std::uint64_t polls = f.runner.timerFirings(1);
    f.runFor(2000);
    EXPECT_EQ(f.runner.timerFirings(1), polls + 4);
    EXPECT_EQ(f.widget<QLineEdit>("TextMotorDevirHızı")->text().toStdString(), f.form().TextMotorDevirHızı.text);
    EXPECT_FALSE(f.form().TextMotorDevirHızı.text.empty());

    f.session.reset();
    f.runFor(2000);
    EXPECT_EQ(f.runner.timerFirings(1), polls + 4);
}

// The window's one run in real time: QtScheduler carries the virtual ECU's
// replies and real QTimers tick the form, as in the program.
TEST(WindowSimulate, ConnectButtonFindsTheVirtualEcuAndShowsLiveValues) {
    WindowFixture f(/*simulate=*/true, /*enginePanel=*/false, test::Clocking::Real);
    ASSERT_TRUE(f.session->simulated());
    f.widget<QPushButton>("ComOpenButon")->click();
    // The scan, the six settings pages and the first live reply take a few ticks
    // of 500 ms; the bound is generous for a loaded machine.
    ASSERT_TRUE(f.waitUntil([&] { return f.form().LinkUp; }, 15000));
    EXPECT_TRUE(f.form().Iletisim->isOpen());
    EXPECT_EQ(f.form().Iletisim->portNumber(), 1);
    EXPECT_TRUE(f.waitUntil([&] { return !f.widget<QLineEdit>("TextMotorDevirHızı")->text().isEmpty(); }, 5000));
    EXPECT_EQ(f.widget<QLineEdit>("TextMotorDevirHızı")->text().toStdString(), f.form().TextMotorDevirHızı.text);

    // A picture of the connected window, with the live point on the curve plot.
    f.window().resize(1366, 768);
    f.window().show();
    f.widget<QPushButton>("ButonEğri")->click();
    f.runFor(600);
    f.window().grab().save(QString::fromStdString(
        curve::Utf8FromPath(std::filesystem::path(GASECU_BIN).parent_path() / "window-connected.png")));
}

}  // namespace
}  // namespace gasecu
