#include "window/qt_file_dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QPointer>
#include <QRegularExpression>
#include <QStringList>
#include <memory>

#include "app/controls.h"

namespace gasecu {

QString QtNameFilter(const std::string& filterText) {
    QString text = QString::fromStdString(filterText);
    if (text.trimmed().endsWith(')')) return text;
    static const QRegularExpression pattern(QStringLiteral("\\(([^()]*)\\)"));
    const QRegularExpressionMatch m = pattern.match(text);
    if (!m.hasMatch()) return text + QStringLiteral(" (*)");
    return text + QStringLiteral(" (") + m.captured(1) + QStringLiteral(")");
}

std::string QtFileDialogs::showOpen(const FileDialogControl& dialog) { return show(dialog, false); }
std::string QtFileDialogs::showSave(const FileDialogControl& dialog) { return show(dialog, true); }

std::string QtFileDialogs::show(const FileDialogControl& dialog, bool save) {
    if (whileShown_) whileShown_(true);
    // The dialog (and the threads that read the folder for it) is gone first.
    const std::shared_ptr<void> gone(nullptr, [this](void*) {
        if (whileShown_) whileShown_(false);
    });
    QFileDialog box(parent_);
    box.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    box.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    box.setNameFilter(QtNameFilter(dialog.filter));
    if (!dialog.initialDirectory.empty()) box.setDirectory(QString::fromStdString(dialog.initialDirectory));
    box.selectFile(QString::fromStdString(dialog.fileName));
    // The keyboard goes back where it was: Qt would otherwise hand it to the first
    // box that takes it (the job label), where the arrow keys and Ctrl+Z act on
    // the text instead of the curve.
    const QPointer<QWidget> before = QApplication::focusWidget();
    const int result = box.exec();
    if (before) before->setFocus(Qt::OtherFocusReason);
    if (result != QDialog::Accepted) return {};
    const QStringList chosen = box.selectedFiles();
    if (chosen.isEmpty()) return {};
    return chosen.front().toStdString();
}

}  // namespace gasecu
