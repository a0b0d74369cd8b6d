// The window's own dialogs, driven through its real buttons: the curve files
// through the Qt file dialogs, and the question before closing while connected.
#include <gtest/gtest.h>

#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <filesystem>

#include "qt/qt_test_app.h"
#include "qt/window_fixture.h"
#include "curve/curve_file_io.h"

namespace gasecu {
namespace {

using test::ModalAnswer;
using test::WindowFixture;

// Answers a file dialog with a path, as the fitter types it into the name box.
std::function<void(QWidget*)> ChooseFile(const std::filesystem::path& path, QString* directorySeen = nullptr,
                                         QString* filterSeen = nullptr) {
    return [path, directorySeen, filterSeen](QWidget* dialog) {
        auto* box = qobject_cast<QFileDialog*>(dialog);
        ASSERT_NE(box, nullptr) << dialog->metaObject()->className();
        if (directorySeen) *directorySeen = box->directory().absolutePath();
        if (filterSeen) *filterSeen = box->selectedNameFilter();
        box->selectFile(QString::fromStdString(curve::Utf8FromPath(path)));
        static_cast<QDialog*>(box)->accept();  // as the Save or Open button does
    };
}

TEST(WindowDialogs, CurveFilesAreWrittenAndReadThroughTheFileDialogs) {
    WindowFixture f;
    f.window().show();
    f.widget<QPushButton>("ButonEğri")->click();  // shows the read/write buttons
    const CurveRows written = f.form().CurveTable;
    const std::filesystem::path file = f.form().DataDirectory / "Cur_07.txt";

    QString directory, filter;
    {
        ModalAnswer answer(ChooseFile(file, &directory, &filter));
        f.widget<QPushButton>("ButonDiskeYaz")->click();
        ASSERT_TRUE(answer.opened()) << "Diske Yaz opened no file dialog";
    }
    EXPECT_TRUE(std::filesystem::exists(file));
    EXPECT_EQ(f.form().KomutSatırı.text.rfind("HATASIZ DOSYA  ", 0), 0u) << f.form().KomutSatırı.text;
    // The dialog opens in the tool's data directory, filtering curve files.
    EXPECT_EQ(curve::PathFromUtf8(directory.toStdString()), std::filesystem::canonical(f.form().DataDirectory));
    EXPECT_TRUE(filter.contains("*.txt")) << filter.toStdString();

    // The curve in the window changes; reading the file brings the written one back
    // once the fitter said the change may go.
    f.window().runHandler([&] { f.form().CurveTable[4][6] += 25; });
    {
        ModalAnswer answer({[](QWidget* dialog) {
                                auto* box = qobject_cast<QMessageBox*>(dialog);
                                ASSERT_NE(box, nullptr) << dialog->metaObject()->className();
                                box->findChild<QPushButton*>("discard")->click();
                            },
                            ChooseFile(file)});
        f.widget<QPushButton>("ButonDisktenOku")->click();
        ASSERT_EQ(answer.answered(), 2u) << "Diskten Oku did not ask, then open the file dialog";
    }
    EXPECT_TRUE(f.form().CurveFileOk);
    EXPECT_EQ(f.form().CurveTable, written);

    // A cancelled dialog writes nothing and says nothing: the load's message stays.
    const std::filesystem::path other = f.form().DataDirectory / "Cur_08.txt";
    const std::string said = f.form().KomutSatırı.text;
    for (const char* button : {"ButonDiskeYaz", "ButonDisktenOku"}) {
        ModalAnswer answer([](QWidget* dialog) { qobject_cast<QDialog*>(dialog)->reject(); });
        f.widget<QPushButton>(button)->click();
        ASSERT_TRUE(answer.opened()) << button;
    }
    EXPECT_FALSE(std::filesystem::exists(other));
    EXPECT_EQ(f.form().KomutSatırı.text, said);
    EXPECT_EQ(f.form().CurveTable, written);
}

// Answers a Yes/No box with one of its buttons and keeps its text.
std::function<void(QWidget*)> Answer(const char* button, QString* text) {
    return [button, text](QWidget* dialog) {
        auto* box = qobject_cast<QMessageBox*>(dialog);
        ASSERT_NE(box, nullptr) << dialog->metaObject()->className();
        *text = box->text();
        auto* b = box->findChild<QPushButton*>(button);
        ASSERT_NE(b, nullptr) << button;
        b->click();
    };
}

TEST(WindowDialogs, ClosingWhileConnectedAsksFirst) {
    WindowFixture f(/*simulate=*/true);
    int exits = 0;
    QObject::connect(&f.window(), &qt::MainWindow::exitRequested, [&] { ++exits; });
    f.window().show();
    ASSERT_TRUE(f.form().Iletisim->setPortNumber(1));
    ASSERT_TRUE(f.form().Iletisim->open());

    QString text;
    {
        ModalAnswer answer(Answer("no", &text));
        f.window().close();
        ASSERT_TRUE(answer.opened()) << "closed without asking";
    }
    EXPECT_EQ(text, QString::fromUtf8("EKÜ bağlı. Program kapatılsın mı?"));
    EXPECT_TRUE(f.window().isVisible());
    EXPECT_EQ(exits, 0);
    EXPECT_TRUE(f.form().Iletisim->isOpen());

    {
        ModalAnswer answer(Answer("yes", &text));
        f.window().close();
        ASSERT_TRUE(answer.opened());
    }
    EXPECT_FALSE(f.window().isVisible());
    EXPECT_EQ(exits, 1);
    EXPECT_FALSE(f.form().Iletisim->isOpen());
}

}  // namespace
}  // namespace gasecu
