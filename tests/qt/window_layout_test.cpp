// The window's layout at the screen sizes fitters' laptops and workshop PCs have:
// every control on view lies inside the window with its caption whole, the plot
// takes the room it is given, and nothing makes the window grow by itself. Keeps
// a picture of each screen in each language in the build directory for a person
// to look at.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QPushButton>
#include <filesystem>
#include <string>

#include "app/control_registry.h"
#include "qt/qt_test_app.h"
#include "qt/window_fixture.h"

namespace gasecu {
namespace {

using test::WindowFixture;

// Every widget on view inside the window, every control inside its container,
// and no button or label narrower than its caption.
void ExpectEverythingOnView(WindowFixture& f, const std::string& where) {
    QWidget& w = f.window();
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
    }
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
                f.window().grab().save(QString::fromStdString((out / ("window-" + where + ".png")).string()));
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
            box->selectFile(QString::fromStdString(file.string()));
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

// The link lamp lights in the fixed area beside the status line, whole, at the
// smallest screen, in both languages; the greyed live boxes keep their values.
TEST(WindowLayout, TheLinkLampShowsWholeBesideTheStatusLine) {
    const std::filesystem::path out = std::filesystem::path(GASECU_BIN).parent_path();
    test::WindowFixture f;
    f.window().show();
    f.window().resize(1024, 768);
    auto* lamp = f.widget<QLabel>("LinkLamp");
    QCoreApplication::processEvents();
    EXPECT_FALSE(lamp->isVisible());
    for (int language : {0, 1}) {
        auto* list = f.widget<QComboBox>("Dilsec");
        list->setCurrentIndex(language);
        emit list->activated(language);
        f.window().runHandler([&] {
            f.form().TextBasinc.text = "1.25";
            f.form().ShowLinkLamp(true);
            f.form().ShowMessage("ECU YANIT VERMİYOR ! ", "ECU NOT RESPONDING ! ");
        });
        QCoreApplication::processEvents();
        const std::string where = std::string("1024x768-") + (language ? "en" : "tr") + "-lamp";
        ASSERT_TRUE(lamp->isVisible()) << where;
        EXPECT_EQ(lamp->text().toStdString(), language ? "ECU NOT RESPONDING" : "ECU YANIT VERMİYOR");
        EXPECT_FALSE(f.window().widgetFor("TextBasinc")->isEnabled());
        ExpectEverythingOnView(f, where);
        f.window().grab().save(QString::fromStdString((out / ("window-" + where + ".png")).string()));
    }
    f.window().runHandler([&] { f.form().ShowLinkLamp(false); });
    QCoreApplication::processEvents();
    EXPECT_FALSE(lamp->isVisible());
    EXPECT_TRUE(f.window().widgetFor("TextBasinc")->isEnabled());
}

}  // namespace
}  // namespace gasecu
