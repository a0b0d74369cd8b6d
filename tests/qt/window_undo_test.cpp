// Undo, the unsaved-curve question and the ECU's curve in the real window: the
// title's mark, the keys, the three-way box before closing, and pictures of the
// curve screen with the ECU's curve under an edited one, in both languages.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QShortcut>
#include <filesystem>

#include "qt/window_fixture.h"
#include "curve/curve_file_io.h"

namespace gasecu {
namespace {

using test::ModalAnswer;
using test::DistinctCurve;
using test::WindowFixture;

// The title as the window system shows it: "[*]" becomes "*" while modified.
QString ShownTitle(const QWidget& w) {
    QString t = w.windowTitle();
    return t.replace(QStringLiteral("[*]"), w.isWindowModified() ? QStringLiteral("*") : QString());
}

// The window's picture under a plain title bar carrying the shown title.
void SavePictureWithTitle(QWidget& w, const std::string& name) {
    const QPixmap body = w.grab();
    QImage picture(body.width(), body.height() + 26, QImage::Format_RGB32);
    picture.fill(QColor(60, 60, 60));
    QPainter p(&picture);
    p.setPen(Qt::white);
    p.drawText(QRect(8, 0, body.width() - 16, 26), Qt::AlignVCenter | Qt::AlignLeft, ShownTitle(w));
    p.drawPixmap(0, 26, body);
    p.end();
    picture.save(QString::fromStdString(curve::Utf8FromPath(std::filesystem::path(GASECU_BIN).parent_path() / name)));
}

void Press(QWidget* w, QEvent::Type type) {
    QMouseEvent e(type, QPointF(5, 5), w->mapToGlobal(QPointF(5, 5)), Qt::LeftButton,
                  type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

void Shortcut(QWidget& window, const QKeySequence& key) {
    for (QShortcut* s : window.findChildren<QShortcut*>())
        if (s->key() == key) {
            emit s->activated();
            return;
        }
    ADD_FAILURE() << "no shortcut " << key.toString().toStdString();
}

TEST(WindowUndo, TitleMarkKeysCompareCurveAndTheQuestionBeforeClosing) {
    for (int language : {0, 1}) {
        SCOPED_TRACE(language);
        WindowFixture f;
        QWidget& w = f.window();
        w.resize(1024, 768);
        w.show();
        auto* list = f.widget<QComboBox>("Dilsec");
        list->setCurrentIndex(language);
        emit list->activated(language);
        f.widget<QPushButton>("ButonEğri")->click();
        const QString title = language ? QStringLiteral("gasecu - LPG/CNG ECU service tool")
                                       : QStringLiteral("gasecu - LPG/CNG EKÜ servis aracı");
        EXPECT_EQ(ShownTitle(w), title);

        // As an ECU read ends: the curve on screen is the ECU's.
        f.window().runHandler([&] {
            f.form().CurveTable = DistinctCurve();
            f.form().KeepEcuCurve();
            f.form().NoteCurveStep();
        });
        auto* compare = f.widget<QCheckBox>("CheckEkuEğrisi");
        EXPECT_TRUE(compare->isEnabled());
        EXPECT_FALSE(w.isWindowModified());

        // The 3000 rpm band's middle points raised with the held up arrow.
        f.widget<QPushButton>("devir3000")->click();
        for (int k : {7, 8, 9, 10}) f.widget<QCheckBox>("CheckÜ(" + std::to_string(k) + ")")->click();
        QWidget* up = f.window().widgetFor("AA");
        Press(up, QEvent::MouseButtonPress);
        ASSERT_TRUE(f.waitUntil([&] { return f.form().CurveTable[5][9] >= DistinctCurve()[5][9] + 40; }, 20000));
        Press(up, QEvent::MouseButtonRelease);
        ASSERT_TRUE(f.waitUntil([&] { return f.form().ButonGeriAl.enabled && !f.form().Timer2.enabled(); }, 5000));
        const CurveRows edited = f.form().CurveTable;
        EXPECT_TRUE(w.isWindowModified());
        EXPECT_EQ(ShownTitle(w), "*" + title);

        compare->click();
        ASSERT_TRUE(f.waitUntil([&] { return f.form().CheckEkuEğrisi.checked(); }, 1000));
        f.runFor(100);
        SavePictureWithTitle(w, std::string("window-compare-") + (language ? "en" : "tr") + ".png");

        // Ctrl+Z takes the whole hold back; Ctrl+Shift+Z and Ctrl+Y bring it again.
        Shortcut(w, QKeySequence(Qt::CTRL | Qt::Key_Z));
        EXPECT_EQ(f.form().CurveTable, DistinctCurve());
        EXPECT_FALSE(w.isWindowModified());
        Shortcut(w, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
        EXPECT_EQ(f.form().CurveTable, edited);
        Shortcut(w, QKeySequence(Qt::CTRL | Qt::Key_Z));
        Shortcut(w, QKeySequence(Qt::CTRL | Qt::Key_Y));
        EXPECT_EQ(f.form().CurveTable, edited);
        EXPECT_TRUE(w.isWindowModified());

        // Closing asks first: Cancel keeps the window, Discard closes it.
        QString text;
        auto answer = [&text](const char* button) {
            return [button, &text](QWidget* dialog) {
                auto* box = qobject_cast<QMessageBox*>(dialog);
                ASSERT_NE(box, nullptr) << dialog->metaObject()->className();
                text = box->text();
                box->findChild<QPushButton*>(button)->click();
            };
        };
        {
            ModalAnswer a(answer("cancel"));
            w.close();
            ASSERT_TRUE(a.opened()) << "closed without asking";
        }
        EXPECT_TRUE(w.isVisible());
        EXPECT_EQ(f.form().CurveTable, edited);
        EXPECT_EQ(text.toStdString(),
                  language ? "The curve has changes that are neither saved to a file nor written to the ECU. "
                             "Save them to a file first?"
                           : "Eğrideki değişiklikler ne dosyaya kaydedildi ne EKÜ'ye yazıldı. Önce dosyaya "
                             "kaydedilsin mi?");
        {
            ModalAnswer a(answer("discard"));
            w.close();
            ASSERT_TRUE(a.opened());
        }
        EXPECT_FALSE(w.isVisible());
        EXPECT_TRUE(f.form().ExitRequested);
    }
}

}  // namespace
}  // namespace gasecu
