#include "window/qt_questions.h"

#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

namespace gasecu::qt {

namespace {

// The box a question opens over the window: the tool's title, the question's
// text, and a name the tests find it by.
void Prepare(QMessageBox& box, const QString& name, QMessageBox::Icon icon, const std::string& text) {
    box.setObjectName(name);
    box.setIcon(icon);
    box.setWindowTitle(QStringLiteral("gasecu"));
    box.setText(QString::fromStdString(text));
}

// An answer's button, in the fitter's language, named for the tests.
QPushButton* AddAnswer(QMessageBox& box, const std::string& text, QMessageBox::ButtonRole role, const QString& name) {
    QPushButton* button = box.addButton(QString::fromStdString(text), role);
    button->setObjectName(name);
    return button;
}

}  // namespace

bool QtQuestions::askYesNo(const YesNoQuestion& question) {
    QMessageBox box(parent_);
    Prepare(box, QStringLiteral("YesNoQuestion"), QMessageBox::Question, question.text);
    QPushButton* yes = AddAnswer(box, question.yes, QMessageBox::YesRole, QStringLiteral("yes"));
    QPushButton* no = AddAnswer(box, question.no, QMessageBox::NoRole, QStringLiteral("no"));
    box.setDefaultButton(no);
    box.setEscapeButton(no);
    // The timers run while the box is open: once what it asks about is over, it
    // closes unanswered (No).
    QTimer watch;
    if (question.stillApplies) {
        QObject::connect(&watch, &QTimer::timeout, &box, [&box, &question] {
            if (!question.stillApplies()) box.reject();
        });
        watch.start(100);
    }
    box.exec();
    return box.clickedButton() == yes;
}

SaveChoice QtQuestions::askSaveDiscardCancel(const SaveDiscardCancelQuestion& question) {
    QMessageBox box(parent_);
    Prepare(box, QStringLiteral("SaveDiscardCancelQuestion"), QMessageBox::Warning, question.text);
    QPushButton* save = AddAnswer(box, question.save, QMessageBox::AcceptRole, QStringLiteral("save"));
    QPushButton* discard = AddAnswer(box, question.discard, QMessageBox::DestructiveRole, QStringLiteral("discard"));
    QPushButton* cancel = AddAnswer(box, question.cancel, QMessageBox::RejectRole, QStringLiteral("cancel"));
    // Enter saves (it only opens the file dialog); Esc or the close box changes nothing.
    box.setDefaultButton(save);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == save) return SaveChoice::Save;
    if (box.clickedButton() == discard) return SaveChoice::Discard;
    return SaveChoice::Cancel;
}

}  // namespace gasecu::qt
