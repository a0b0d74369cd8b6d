#include "platform/qt/qt_questions.h"

#include <QMessageBox>
#include <QPushButton>

namespace gasecu::qt {

bool QtQuestions::askYesNo(const YesNoQuestion& question) {
    QMessageBox box(parent_);
    box.setObjectName(QStringLiteral("YesNoQuestion"));
    box.setIcon(QMessageBox::Question);
    box.setWindowTitle(QStringLiteral("gasecu"));
    box.setText(QString::fromStdString(question.text));
    QPushButton* yes = box.addButton(QString::fromStdString(question.yes), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QString::fromStdString(question.no), QMessageBox::NoRole);
    yes->setObjectName(QStringLiteral("yes"));
    no->setObjectName(QStringLiteral("no"));
    box.setDefaultButton(no);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

}  // namespace gasecu::qt
