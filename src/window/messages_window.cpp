// The messages window: the session's status texts as a list to read, copy and save.
#include "window/messages_window.h"

#include <QApplication>
#include <QClipboard>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

#include "app/form1korvane.h"
#include "curve/curve_file_io.h"
#include "platform/atomic_file_write.h"

namespace gasecu::qt {
namespace {

QString Row(const StatusEntry& e) {
    const bool fault = IsFailureMessage(e.text);
    return QString::fromStdString(ClockTimeText(e.time) + (fault ? "  !! " : "     ") + e.text);
}

void Paint(QListWidgetItem* item, const StatusEntry& e) {
    item->setText(Row(e));
    if (IsFailureMessage(e.text)) {
        item->setForeground(QColor(190, 0, 0));
        QFont bold = item->font();
        bold.setBold(true);
        item->setFont(bold);
    }
}

}  // namespace

MessagesWindow::MessagesWindow(Form1Korvane& form, QWidget* parent)
    : QWidget(parent, Qt::Window), form_(form), list_(new QListWidget(this)), copy_(new QPushButton(this)),
      save_(new QPushButton(this)), outcome_(new QLabel(this)) {
    setObjectName("MessagesWindow");
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list_->setFont(QFont("monospace"));
    outcome_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(outcome_, 1);
    buttons->addWidget(copy_);
    buttons->addWidget(save_);
    auto* rows = new QVBoxLayout(this);
    rows->addWidget(list_, 1);
    rows->addLayout(buttons);
    connect(copy_, &QPushButton::clicked, this, [this] { QApplication::clipboard()->setText(selectedText()); });
    connect(save_, &QPushButton::clicked, this, [this] { save(); });
    auto* copyKey = new QShortcut(QKeySequence::Copy, list_);
    copyKey->setContext(Qt::WidgetShortcut);
    connect(copyKey, &QShortcut::activated, copy_, &QPushButton::click);
    resize(640, 360);
    refresh();
}

bool MessagesWindow::english() const { return form_.LanguageIndex == 1; }

void MessagesWindow::rebuild() {
    list_->clear();
    shown_ = 0;
}

void MessagesWindow::refresh() {
    const int language = english() ? 1 : 0;
    if (language != language_) {
        language_ = language;
        setWindowTitle(english() ? "Messages" : "Mesajlar");
        copy_->setText(english() ? "Copy" : "Kopyala");
        save_->setText(english() ? "Save..." : "Kaydet...");
    }
    const auto& entries = form_.Messages.entries();
    // The history only grows, but for its newest line taking a count's place and
    // the oldest giving way at its limit; the latter redraws the list.
    if (entries.size() < shown_ || (shown_ > 0 && list_->item(0)->text() != Row(entries.front()))) rebuild();
    if (entries.empty()) return;
    // The newest row comes into view unless the fitter is reading a chosen one.
    const bool follow = list_->selectedItems().isEmpty();
    if (shown_ > 0 && list_->item(static_cast<int>(shown_) - 1)->text() != Row(entries[shown_ - 1]))
        Paint(list_->item(static_cast<int>(shown_) - 1), entries[shown_ - 1]);
    for (; shown_ < entries.size(); ++shown_) {
        auto* item = new QListWidgetItem;
        Paint(item, entries[shown_]);
        list_->addItem(item);
    }
    if (follow) list_->scrollToBottom();
}

QString MessagesWindow::selectedText() const {
    QStringList lines;
    for (int row = 0; row < list_->count(); ++row)
        if (list_->item(row)->isSelected()) lines << list_->item(row)->text();
    return lines.join('\n');
}

void MessagesWindow::save() {
    FileDialogControl dialog;
    dialog.fileName = "Mesajlar.txt";
    dialog.filter = english() ? "messages (*.txt)" : "mesajlar (*.txt)";
    dialog.initialDirectory = curve::Utf8FromPath(form_.DataDirectory);
    if (!form_.env.fileDialogs) return;
    const std::string chosen = form_.env.fileDialogs->showSave(dialog);
    if (chosen.empty() || chosen == dialog.fileName) return;
    const std::filesystem::path path = curve::PathFromUtf8(chosen);
    const auto failure = WriteFileWhole(path, StatusHistoryFileText(form_.Messages.entries()));
    std::string told;
    if (failure) told = (english() ? WriteFailureEnglish(*failure) : WriteFailureTurkish(*failure)) + chosen;
    else told = (english() ? "SAVED : " : "KAYDEDİLDİ : ") + chosen;
    outcome_->setText(QString::fromStdString(told));
    QPalette p = outcome_->palette();
    p.setColor(QPalette::WindowText, failure ? QColor(190, 0, 0) : palette().color(QPalette::WindowText));
    outcome_->setPalette(p);
}

}  // namespace gasecu::qt
