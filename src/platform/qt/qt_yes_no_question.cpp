#include "platform/qt/qt_yes_no_question.h"

#include <QMessageBox>
#include <QPushButton>

namespace gasecu {

bool QtYesNoQuestion::ask(const YesNoQuestionText& text) {
    QMessageBox box(QMessageBox::Question, QString::fromStdString(text.title), QString::fromStdString(text.question),
                    QMessageBox::NoButton, parent_);
    QPushButton* yes = box.addButton(QString::fromStdString(text.yes), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QString::fromStdString(text.no), QMessageBox::NoRole);
    box.setDefaultButton(no);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

}  // namespace gasecu
