#include "window/qt_questions.h"

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

SaveChoice QtQuestions::askSaveDiscardCancel(const SaveDiscardCancelQuestion& question) {
    QMessageBox box(parent_);
    box.setObjectName(QStringLiteral("SaveDiscardCancelQuestion"));
    box.setIcon(QMessageBox::Warning);
    box.setWindowTitle(QStringLiteral("gasecu"));
    box.setText(QString::fromStdString(question.text));
    QPushButton* save = box.addButton(QString::fromStdString(question.save), QMessageBox::AcceptRole);
    QPushButton* discard = box.addButton(QString::fromStdString(question.discard), QMessageBox::DestructiveRole);
    QPushButton* cancel = box.addButton(QString::fromStdString(question.cancel), QMessageBox::RejectRole);
    save->setObjectName(QStringLiteral("save"));
    discard->setObjectName(QStringLiteral("discard"));
    cancel->setObjectName(QStringLiteral("cancel"));
    // Enter saves (it only opens the file dialog); Esc or the close box changes nothing.
    box.setDefaultButton(save);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == save) return SaveChoice::Save;
    if (box.clickedButton() == discard) return SaveChoice::Discard;
    return SaveChoice::Cancel;
}

}  // namespace gasecu::qt
