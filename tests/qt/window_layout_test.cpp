// The window's layout at the screen sizes fitters' laptops and workshop PCs have:
// every control on view lies inside the window with its caption whole, the plot
// takes the room it is given, and nothing makes the window grow by itself; the
// record button while recording and the trend window with a minute of the engine.
// Keeps a picture of each screen in each language in the build directory for a
// person to look at.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <filesystem>
#include <string>
#include <vector>

#include "app/control_registry.h"
#include "ecu/live_log.h"
#include "ecu/reply_decoding.h"
#include "link/command_frames.h"
#include "qt/qt_test_app.h"
#include "qt/window_fixture.h"
#include "support/scripted_port.h"
#include "virtual_clock.h"
#include "virtual_ecu.h"
#include "virtual_time_runner.h"
#include "curve/curve_file_io.h"
#include "curve/point_readout.h"
#include "window/curve_readout.h"
#include "window/fitting_label.h"

namespace gasecu {
namespace {

using test::WindowFixture;

// Every widget on view inside the window, every control inside its container,
// and no button or label narrower than its caption.
void ExpectEverythingOnView(WindowFixture& f, const std::string& where) {
    qt::MainWindow& w = f.window();
    for (QWidget* child : w.findChildren<QWidget*>()) {
        if (!child->isVisible() || child->isWindow()) continue;
        const QRect inWindow(child->mapTo(&w, QPoint(0, 0)), child->size());
        EXPECT_TRUE(w.rect().contains(inWindow))
            << child->objectName().toStdString() << " (" << child->metaObject()->className() << ") on " << where;
    }
    for (const ControlEntry& e : ListControls(f.form())) {
        QWidget* widget = f.window().widgetFor(e.name);
        if (!widget->isVisible()) continue;
        EXPECT_TRUE(widget->parentWidget()->rect().contains(widget->geometry())) << e.name << " on " << where;
        QString caption;
        int padding = 0;
        if (auto* button = qobject_cast<QPushButton*>(widget)) caption = button->text(), padding = 8;
        if (auto* label = qobject_cast<QLabel*>(widget); label && !label->wordWrap()) caption = label->text();
        if (!caption.isEmpty()) {
            EXPECT_LE(widget->fontMetrics().horizontalAdvance(caption) + padding, widget->width())
                << e.name << " cuts its caption \"" << caption.toStdString() << "\" on " << where;
        }
    }    // The band legend and the point readout beside the plot, never on it; the
    // readout's longest lines (the last point of 6000 rpm at the top of the
    // ECU's range) whole in either language.
    QWidget* plot = w.widgetFor("EğriPic");
    for (QWidget* part : {static_cast<QWidget*>(w.bandLegend()), static_cast<QWidget*>(w.pointReadout())}) {
        if (!part->isVisible()) continue;
        const QRect r(part->mapTo(&w, QPoint(0, 0)), part->size());
        EXPECT_FALSE(r.intersects(QRect(plot->mapTo(&w, QPoint(0, 0)), plot->size()))) << where;
    }
    if (w.pointReadout()->isVisible()) {
        curve::CurveRows high{};
        high[8][18] = 65535;
        for (bool english : {false, true}) {
            const QString text = QString::fromStdString(
                curve::ReadoutText(curve::ReadoutOf(high, 5, 18), english, ','));
            for (const QString& line : text.split('\n'))
                EXPECT_LE(w.pointReadout()->fontMetrics().horizontalAdvance(line) + 12, w.pointReadout()->width())
                    << line.toStdString() << " on " << where;
        }
    }
}

// The two rows of point boxes: no box's hit area reaches into another's, and each
// row carries its caption and every box its tooltip in the window's language.
void ExpectPointBoxesApartAndNamed(WindowFixture& f, bool english, const std::string& where) {
    std::vector<QRect> boxes;
    for (const char* row : {"CheckÜ", "CheckA"})
        for (int k = 0; k <= 18; ++k) {
            QWidget* box = f.window().widgetFor(std::string(row) + "(" + std::to_string(k) + ")");
            boxes.emplace_back(box->mapTo(&f.window(), QPoint(0, 0)), box->size());
            EXPECT_FALSE(box->toolTip().isEmpty()) << row << k << " on " << where;
            EXPECT_TRUE(box->toolTip().startsWith(english ? (row[5] == 'A' ? "Lower" : "Raise")
                                                          : (row[5] == 'A' ? "Alçalt" : "Yükselt")))
                << box->toolTip().toStdString() << " on " << where;
        }
    for (std::size_t i = 0; i < boxes.size(); ++i)
        for (std::size_t j = i + 1; j < boxes.size(); ++j)
            EXPECT_FALSE(boxes[i].intersects(boxes[j])) << i << " and " << j << " on " << where;
    auto* raise = f.window().findChild<QLabel*>(QStringLiteral("RaiseRowCaption"));
    auto* lower = f.window().findChild<QLabel*>(QStringLiteral("LowerRowCaption"));
    ASSERT_TRUE(raise && lower);
    EXPECT_EQ(raise->text(), english ? QStringLiteral("Raise ▲") : QStringLiteral("Yükselt ▲")) << where;
    EXPECT_EQ(lower->text(), english ? QStringLiteral("Lower ▼") : QStringLiteral("Alçalt ▼")) << where;
    for (QLabel* caption : {raise, lower})
        EXPECT_LE(caption->fontMetrics().horizontalAdvance(caption->text()), caption->width()) << where;
}

TEST(WindowLayout, EveryScreenFitsEveryScreenSizeInBothLanguages) {
    const std::filesystem::path out = std::filesystem::path(GASECU_BIN).parent_path();
    WindowFixture f;
    f.window().show();
    int plotWidthBefore = 0;
    for (QSize size : {QSize(1024, 768), QSize(1366, 768), QSize(1920, 1080)}) {
        f.window().resize(size);
        for (int language : {0, 1}) {
            auto* list = f.widget<QComboBox>("Dilsec");
            list->setCurrentIndex(language);
            emit list->activated(language);
            for (const char* screen : {"ButonSetup", "ButonAyar", "ButonEğri"}) {
                f.widget<QPushButton>(screen)->click();
                QCoreApplication::processEvents();
                const std::string where = std::to_string(size.width()) + "x" + std::to_string(size.height()) +
                                          (language ? "-en-" : "-tr-") + screen;
                ASSERT_EQ(f.window().size(), size) << where;
                ExpectEverythingOnView(f, where);
                if (std::string(screen) == "ButonEğri") ExpectPointBoxesApartAndNamed(f, language == 1, where);
                f.window().grab().save(QString::fromStdString(curve::Utf8FromPath(out / ("window-" + where + ".png"))));
            }
        }
        // The plot takes the room a bigger window gives it.
        const int plotWidth = f.window().widgetFor("EğriPic")->width();
        EXPECT_GT(plotWidth, plotWidthBefore) << size.width();
        plotWidthBefore = plotWidth;
    }
    EXPECT_LE(f.window().minimumSizeHint().width(), 1024);
    EXPECT_LE(f.window().minimumSizeHint().height(), 768);
}

// A long file name in the status line after a curve read used to widen the window
// past the screen; the window keeps the size the fitter gave it.
TEST(WindowLayout, ACurveReadDoesNotWidenTheWindow) {
    WindowFixture f;
    f.window().resize(1024, 768);
    f.window().show();
    f.widget<QPushButton>("ButonEğri")->click();
    const std::filesystem::path folder =
        f.form().DataDirectory / "a folder with a long name for the curves of the vans of the fleet";
    std::filesystem::create_directories(folder);
    const std::filesystem::path file = folder / "Cur_12.txt";
    for (const char* button : {"ButonDiskeYaz", "ButonDisktenOku"}) {
        test::ModalAnswer answer([&](QWidget* dialog) {
            auto* box = qobject_cast<QFileDialog*>(dialog);
            ASSERT_NE(box, nullptr);
            box->selectFile(QString::fromStdString(curve::Utf8FromPath(file)));
            static_cast<QDialog*>(box)->accept();
        });
        f.widget<QPushButton>(button)->click();
        ASSERT_TRUE(answer.opened()) << button;
        QCoreApplication::processEvents();
        EXPECT_NE(f.form().KomutSatırı.text.find("Cur_12.txt"), std::string::npos) << f.form().KomutSatırı.text;
        EXPECT_EQ(f.window().size(), QSize(1024, 768)) << button;
    }
}

}  // namespace
}  // namespace gasecu

namespace gasecu {
namespace {

// The link indicator beside the connect button, whole at the smallest screen and
// at the largest, in both languages, through a connect, a silence (every live
// value greyed), the ECU answering again and a disconnect.
TEST(WindowLayout, TheLinkIndicatorShowsWholeBesideTheConnectButton) {
    const std::filesystem::path out = std::filesystem::path(GASECU_BIN).parent_path();
    WindowFixture f(/*simulate=*/true);
    f.window().show();
    f.window().resize(1024, 768);
    auto* lamp = f.widget<QLabel>("LinkLamp");
    auto* disconnect = f.widget<QPushButton>("ButonBağlantıKes");
    QCoreApplication::processEvents();
    EXPECT_TRUE(lamp->isVisible());
    EXPECT_EQ(lamp->text().toStdString(), "BAĞLI DEĞİL");
    EXPECT_FALSE(disconnect->isEnabled());
    f.widget<QPushButton>("ComOpenButon")->click();
    ASSERT_TRUE(f.waitUntil([&] { return f.form().LinkUp && f.form().SequencerState == 8; }, 15000));
    ASSERT_TRUE(f.waitUntil([&] { return f.widget<QPushButton>("ButonEğri")->isEnabled(); }, 15000));
    f.runFor(1200);
    const auto shot = [&](const std::string& where) {
        QCoreApplication::processEvents();
        ExpectEverythingOnView(f, where);
        f.window().grab().save(QString::fromStdString(curve::Utf8FromPath(out / ("window-" + where + ".png"))));
    };
    const auto language = [&](int index) {
        auto* list = f.widget<QComboBox>("Dilsec");
        list->setEnabled(true);
        list->setCurrentIndex(index);
        emit list->activated(index);
        QCoreApplication::processEvents();
    };
    for (QSize size : {QSize(1024, 768), QSize(1920, 1080)}) {
        f.window().resize(size);
        const std::string at = std::to_string(size.width()) + "x" + std::to_string(size.height());
        for (int l : {0, 1}) {
            language(l);
            f.runFor(600);
            EXPECT_NE(lamp->text().toStdString().find(l ? " : CONNECTED : " : " : BAĞLI : "), std::string::npos)
                << lamp->text().toStdString();
            EXPECT_TRUE(disconnect->isEnabled());
            EXPECT_TRUE(f.window().widgetFor("TextBasinc")->isEnabled());
            shot(at + (l ? "-en" : "-tr") + "-link-connected");
        }
    }
    f.window().resize(1024, 768);

    // Silent: red, the age climbing, every live value, caption and bar greyed.
    f.session->ecu()->setSilent(true);
    ASSERT_TRUE(f.waitUntil([&] { return f.form().EcuSilent; }, 6000));
    f.runFor(600);
    // The age is the session's time since the last reply: six silent polls and more.
    const auto age = [&] {
        bool ok = false;
        const double seconds = lamp->text().section(QStringLiteral(" : "), -1).chopped(2).toDouble(&ok);
        EXPECT_TRUE(ok) << lamp->text().toStdString();
        return seconds;
    };
    const double silentFor = age();
    EXPECT_GE(silentFor, 3.0) << lamp->text().toStdString();
    f.runFor(2000);
    EXPECT_GE(age(), silentFor + 1.5) << lamp->text().toStdString();
    for (int l : {0, 1}) {
        language(l);
        EXPECT_NE(lamp->text().toStdString().find(l ? " : ECU NOT RESPONDING : " : " : ECU YANIT VERMİYOR : "),
                  std::string::npos)
            << lamp->text().toStdString();
        for (const char* name : {"TextBasinc", "LabelBar", "Label8(0)", "ProgressBar2(0)", "ProgressBar2(1)",
                                 "ImgBenzin", "ImgGaz", "ImgGazGeçiş", "Label3", "Label4"})
            EXPECT_FALSE(f.window().widgetFor(name)->isEnabled()) << name;
        // The fuel shown and the gas type lamps fade to grey; the lamps stay pressable.
        for (const char* name : {"ImgBenzin", "ImgGaz", "LPG", "CNG"}) {
            QWidget* shown = f.window().widgetFor(name);
            if (!shown->isVisible()) continue;
            const QColor c = shown->grab().toImage().pixelColor(4, 4);
            EXPECT_TRUE(c.red() == c.green() && c.green() == c.blue()) << name << " " << c.name().toStdString();
        }
        EXPECT_TRUE(f.window().widgetFor("LPG")->isEnabled());
        EXPECT_TRUE(disconnect->isEnabled());
        shot(std::string("1024x768-") + (l ? "en" : "tr") + "-link-silent");
    }
    f.window().resize(1920, 1080);
    shot("1920x1080-en-link-silent");
    f.window().resize(1024, 768);

    f.session->ecu()->setSilent(false);
    ASSERT_TRUE(f.waitUntil([&] { return !f.form().EcuSilent; }, 6000));
    QCoreApplication::processEvents();
    EXPECT_TRUE(f.window().widgetFor("ProgressBar2(0)")->isEnabled());
    ASSERT_TRUE(f.waitUntil([&] { return f.form().SequencerState == 8 && !f.form().SettingsStale; }, 15000));

    disconnect->click();
    QCoreApplication::processEvents();
    EXPECT_EQ(lamp->text().toStdString(), "DISCONNECTED");
    EXPECT_TRUE(f.widget<QPushButton>("ComOpenButon")->isEnabled());
    EXPECT_FALSE(disconnect->isEnabled());
    EXPECT_TRUE(f.widget<QPushButton>("ButonDisktenOku")->isEnabled());
    EXPECT_FALSE(f.window().widgetFor("TextBasinc")->isEnabled());
    shot("1024x768-en-link-disconnected");
    language(0);
    shot("1024x768-tr-link-disconnected");
    f.window().resize(1920, 1080);
    shot("1920x1080-tr-link-disconnected");
}

// Windows laptops often scale their fonts: in a font a quarter larger, the silent
// lamp's caption, whose end (the age of the last reply) is what the fitter
// watches, is still whole at 1024x768, in a smaller font; on a wide screen the
// lamp takes its full font back.
TEST(WindowLayout, TheLinkLampKeepsItsWholeCaptionInAScaledFont) {
    test::EnsureQtApp();
    struct KeepFont {
        QFont font = QApplication::font();
        ~KeepFont() { QApplication::setFont(font); }
    } keep;
    QFont scaled = keep.font;
    scaled.setPointSizeF(keep.font.pointSizeF() * 1.25);
    QApplication::setFont(scaled);
    WindowFixture f(/*simulate=*/true);
    f.window().show();
    f.window().resize(1024, 768);
    auto* lamp = dynamic_cast<qt::FittingLabel*>(f.widget<QLabel>("LinkLamp"));
    ASSERT_NE(lamp, nullptr);
    f.widget<QPushButton>("ComOpenButon")->click();
    ASSERT_TRUE(f.waitUntil([&] { return f.form().LinkUp && f.form().SequencerState == 8; }, 15000));
    f.session->ecu()->setSilent(true);
    ASSERT_TRUE(f.waitUntil([&] { return f.form().EcuSilent; }, 6000));
    f.runFor(12000);  // an age of two digits, the widest caption
    const auto whole = [&] { return lamp->fontMetrics().horizontalAdvance(lamp->text()) <= lamp->contentsRect().width(); };
    for (int l : {0, 1}) {
        f.chooseLanguage(l);
        QCoreApplication::processEvents();
        EXPECT_TRUE(whole()) << lamp->text().toStdString() << " in " << lamp->width() << " px";
        EXPECT_EQ(lamp->toolTip(), lamp->text());
        f.window().grab().save(QString::fromStdString(curve::Utf8FromPath(
            std::filesystem::path(GASECU_BIN).parent_path() / (l ? "window-scaled-font-en.png" : "window-scaled-font-tr.png"))));
    }
    EXPECT_LT(lamp->font().pointSizeF(), lamp->givenFont().pointSizeF());
    EXPECT_GE(lamp->font().pointSizeF(), lamp->givenFont().pointSizeF() * qt::FittingLabel::kSmallestShare);
    EXPECT_TRUE(lamp->givenFont().bold());
    f.window().resize(1920, 1080);
    QCoreApplication::processEvents();
    EXPECT_EQ(lamp->font(), lamp->givenFont());
    EXPECT_TRUE(whole());
}

}  // namespace
}  // namespace gasecu


namespace gasecu {
namespace {

// Live replies of the virtual ECU handed to the window's receive handler half a
// second apart in virtual time, as the idle poll brings them; the engine revs
// up and settles so the trend has something to show.
class LiveFeed {
public:
    explicit LiveFeed(test::WindowFixture& f) : f_(f), clock_(runner_, std::chrono::local_days{
                                                                          std::chrono::year{2026} / 12 / 9}) {
        Form1Korvane& form = f_.form();
        form.env.clock = &clock_;
        port_.setRunner(&runner_);
        port_.setEventHandler([&form](int kind) { form.Iletisim_OnComm(kind); });
        form.Iletisim = &port_;
        form.RpmFactor = *ecu::RpmFactorForCoilText(std::to_string(ecu_.setting(31)));
        form.LinkUp = true;
        form.SequencerState = 8;
        ecu_.setGasPressure(1.15);
    }
    ~LiveFeed() { f_.form().Iletisim = f_.form().env.port; }
    void replies(int n) {
        for (int i = 0; i < n; ++i, ++count_) {
            ecu_.setEngineSpeed(count_ % 60 < 30 ? 900 + 60.0 * (count_ % 30) : 2700 - 40.0 * (count_ % 30));
            runner_.runFor(500);
            const Bytes reply = *ecu_.replyTo(frames::kLiveDataRequest);
            // The idle poll's request went out: its one reply is awaited.
            f_.form().AwaitedReplyLength = reply.size();
            f_.form().RequestAnswered = false;
            f_.window().runHandler([&] { port_.receiveNow(reply); });
        }
        QCoreApplication::processEvents();
    }

private:
    test::WindowFixture& f_;
    sim::VirtualTimeRunner runner_;
    sim::VirtualClock clock_;
    sim::VirtualEcu ecu_;
    test::ScriptedPort port_;
    int count_ = 0;
};

// The record button on every screen at the smallest size, its "stop" caption
// whole, the count in the status line; the rows reach the file.
TEST(WindowLayout, RecordingShowsOnEveryScreenAndWritesTheRows) {
    const std::filesystem::path out = std::filesystem::path(GASECU_BIN).parent_path();
    test::WindowFixture f;
    f.window().resize(1024, 768);
    f.window().show();
    LiveFeed feed(f);
    for (int language : {0, 1}) {
        f.chooseLanguage(language);
        f.widget<QPushButton>("ButonKayıt")->click();
        ASSERT_NE(f.form().LiveLog, nullptr);
        const std::filesystem::path path = f.form().LiveLog->finalPath();
        feed.replies(4);
        EXPECT_EQ(f.widget<QPushButton>("ButonKayıt")->text().toStdString(),
                  language ? "Stop Recording" : "Kaydı Durdur");
        EXPECT_EQ(f.widget<QLineEdit>("KomutSatırı")->text().toStdString(),
                  (language ? "RECORDING : " : "KAYIT : ") + curve::Utf8FromPath(path.filename()) + (language ? "  4 ROWS" : "  4 SATIR"));
        for (const char* screen : {"ButonAyar", "ButonEğri"}) {
            f.widget<QPushButton>(screen)->click();
            feed.replies(1);
            const std::string where = std::string("1024x768-") + (language ? "en" : "tr") + "-recording-" + screen;
            EXPECT_TRUE(f.window().widgetFor("ButonKayıt")->isVisible()) << where;
            EXPECT_EQ(f.window().size(), QSize(1024, 768)) << where;
            // The screen's title gives way to the count at the next reply.
            EXPECT_NE(f.widget<QLineEdit>("KomutSatırı")->text().toStdString().find(curve::Utf8FromPath(path.filename())),
                      std::string::npos) << where;
            ExpectEverythingOnView(f, where);
            f.window().grab().save(QString::fromStdString(curve::Utf8FromPath(out / ("window-" + where + ".png"))));
        }
        f.widget<QPushButton>("ButonKayıt")->click();
        EXPECT_EQ(f.widget<QPushButton>("ButonKayıt")->text().toStdString(),
                  language ? "Start Recording" : "Kaydı Başlat");
        EXPECT_TRUE(std::filesystem::exists(path));
        feed.replies(2);  // the next recording starts in a new second
    }
}

// The trend window opens on its button with the last minute of the engine,
// follows the replies, closes by its close box and opens again.
TEST(WindowLayout, TheTrendWindowShowsTheLastMinuteInBothLanguages) {
    const std::filesystem::path out = std::filesystem::path(GASECU_BIN).parent_path();
    test::WindowFixture f;
    f.window().resize(1024, 768);
    f.window().show();
    LiveFeed feed(f);
    feed.replies(150);
    QWidget* trend = f.window().trendWindow();
    EXPECT_FALSE(trend->isVisible());
    for (int language : {0, 1}) {
        f.chooseLanguage(language);
        f.widget<QPushButton>("ButonTrend")->click();
        ASSERT_TRUE(trend->isVisible());
        EXPECT_TRUE(f.form().TrendPic.visible);
        feed.replies(2);
        EXPECT_EQ(trend->windowTitle().toStdString(), language ? "gasecu - Trend" : "gasecu - Canlı Grafik");
        EXPECT_EQ(f.form().LiveTrend.size(), 120u);
        trend->grab().save(QString::fromStdString(curve::Utf8FromPath(out / (std::string("trend-") + (language ? "en" : "tr") + ".png"))));
        trend->close();
        QCoreApplication::processEvents();
        EXPECT_FALSE(f.form().TrendPic.visible);
        EXPECT_FALSE(trend->isVisible());
    }
}

}  // namespace
}  // namespace gasecu
