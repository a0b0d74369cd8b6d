// The job label field, the history button and the history window.
#include "window/history_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QAbstractTableModel>
#include <QItemSelectionModel>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>

#include "app/form1korvane.h"
#include "curve/curve_text.h"
#include "history/history_store.h"
#include "history/record_curve.h"
#include "history/record_words.h"
#include "app/number_format.h"
#include "window/curve_compare_plot.h"
#include "window/history_compare.h"
#include "window/sync_note.h"

namespace gasecu::qt {

namespace {

QString Text(const std::string& s) { return QString::fromStdString(s); }
QString Text(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// The records of the settings reads out of the list: each visit to the
// settings screen leaves one, and they bury the writes and calibrations.
void HideSettingsReads(std::vector<history::Record>& records, bool hide) {
    if (!hide) return;
    std::erase_if(records, [](const history::Record& r) { return r.kind == history::Kind::SettingsRead; });
}

// The chosen record in the fitter's words, one fact a line.
QString DetailsText(const history::Record& r, bool en, char mark) {
    std::string text = r.time + "  " + std::string(en ? history::KindEnglish(r.kind) : history::KindTurkish(r.kind)) +
                       ": " + history::ResultWords(r.result, en) + "\n";
    if (!r.label.empty()) text += (en ? "Job: " : "İş: ") + r.label + "\n";
    if (!r.port.empty()) text += "Port: " + r.port + "\n";
    if (r.slopeFactor) text += (en ? "Slope factor: " : "Eğim faktörü: ") + FormatFixed(*r.slopeFactor, 2, mark) + "\n";
    if (r.iterations) text += (en ? "Iterations: " : "Deneme: ") + std::to_string(*r.iterations) + "\n";
    if (!r.detail.empty()) text += history::DetailWords(r.kind, r.detail, en, mark) + "\n";
    if (r.settings.empty()) text += en ? "Settings not known\n" : "Ayarlar bilinmiyor\n";
    for (const history::SettingLine& l : history::SettingsWords(r.settings, en, mark))
        text += l.caption + ": " + l.value + "\n";
    return Text(text);
}

}  // namespace

// The records as the list shows them: cells are made only for the rows on screen,
// so ten thousand records open as fast as ten.
class HistoryListModel : public QAbstractTableModel {
public:
    explicit HistoryListModel(QObject* parent) : QAbstractTableModel(parent) {}
    void setRecords(const std::vector<history::Record>* records, bool english) {
        beginResetModel();
        records_ = records;
        english_ = english;
        endResetModel();
    }
    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() || !records_ ? 0 : static_cast<int>(records_->size());
    }
    int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : 7; }
    QVariant data(const QModelIndex& index, int role) const override {
        if (role != Qt::DisplayRole || !records_ || index.row() >= rowCount()) return {};
        const history::Record& r = (*records_)[static_cast<std::size_t>(index.row())];
        switch (index.column()) {
        case 0: return QString::number(r.id);
        case 1: return Text(r.time);
        case 2: return Text(english_ ? history::KindEnglish(r.kind) : history::KindTurkish(r.kind));
        case 3: return Text(history::ResultWords(r.result, english_));
        case 4: return Text(r.label);
        case 5: return Text(r.port);
        case 6: return Text(r.laptop);
        }
        return {};
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section > 6) return {};
        static const char* const english[] = {"No", "Time", "Operation", "Result", "Label", "Port", "Laptop"};
        static const char* const turkish[] = {"No", "Zaman", "İşlem", "Sonuç", "Etiket", "Port", "Dizüstü"};
        return QString::fromUtf8((english_ ? english : turkish)[section]);
    }

private:
    const std::vector<history::Record>* records_ = nullptr;
    bool english_ = false;
};

// ---------------------------------------------------------------------------

HistoryControls::HistoryControls(Form1Korvane& form, RunOnForm run, QWidget* parent)
    : QWidget(parent), form_(form) {
    // Under the data log and trend buttons, as narrow as they are: the fixed area
    // has no width to spare on a 1024-pixel screen.
    auto* row = new QVBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(2);
    label_ = new QLineEdit(this);
    label_->setObjectName(QStringLiteral("JobLabel"));
    label_->setMinimumWidth(60);
    button_ = new QPushButton(this);
    button_->setObjectName(QStringLiteral("ButonGecmis"));
    row->addWidget(label_);
    row->addWidget(button_);
    syncNote_ = new SyncNote(form_, this);
    row->addWidget(syncNote_);
    window_ = new HistoryWindow(form_, std::move(run), this);

    // The label is the fitter's text; every record from now on carries it.
    QObject::connect(label_, &QLineEdit::textEdited, this,
                     [this](const QString& text) { form_.JobLabel = text.toStdString(); });
    QObject::connect(button_, &QPushButton::clicked, this, [this] {
        if (place_ && !window_->isVisible()) place_(window_);
        window_->show();
        window_->raise();
        window_->activateWindow();
    });
}

HistoryControls::~HistoryControls() = default;

void HistoryControls::pauseHistoryUse(bool dialogShown) { syncNote_->pauseHistoryUse(dialogShown); }

void HistoryControls::mirror() {
    const bool en = form_.LanguageIndex == 1;
    const QString caption = en ? QStringLiteral("History") : QStringLiteral("Geçmiş");
    if (button_->text() != caption) {
        button_->setText(caption);
        label_->setPlaceholderText(en ? QStringLiteral("Job: plate, model") : QStringLiteral("İş: plaka, model"));
        label_->setToolTip(en ? QStringLiteral("Every history record carries this label")
                              : QStringLiteral("Geçmişteki her kayıt bu etiketi taşır"));
        window_->applyLanguage();
    }
    if (!label_->hasFocus() && label_->text().toStdString() != form_.JobLabel) label_->setText(Text(form_.JobLabel));
    const QString note = form_.LastRestorePointKept ? QString()
                         : en                       ? QStringLiteral("The last record was not kept in the history")
                                                    : QStringLiteral("Son kayıt geçmişe yazılamadı");
    if (button_->toolTip() != note) {
        button_->setToolTip(note);
        button_->setStyleSheet(note.isEmpty() ? QString() : QStringLiteral("background-color: #ff8080"));
    }
}

bool HistoryControls::showsNotKept() const { return !button_->toolTip().isEmpty(); }

// ---------------------------------------------------------------------------

HistoryWindow::HistoryWindow(Form1Korvane& form, RunOnForm run, QWidget* owner)
    : QWidget(owner, Qt::Window), form_(form), run_(std::move(run)) {
    setObjectName(QStringLiteral("HistoryWindow"));
    resize(1000, 560);
    auto* outer = new QVBoxLayout(this);
    auto* filters = new QHBoxLayout;
    labelFilter_ = new QLineEdit(this);
    from_ = new QLineEdit(this);
    to_ = new QLineEdit(this);
    for (QLineEdit* date : {from_, to_}) {
        date->setPlaceholderText(QStringLiteral("2026-12-31"));
        date->setMaximumWidth(110);
    }
    kind_ = new QComboBox(this);
    hideSettingsReads_ = new QCheckBox(this);
    filters->addWidget(labelFilter_, 1);
    filters->addWidget(from_);
    filters->addWidget(to_);
    filters->addWidget(kind_);
    filters->addWidget(hideSettingsReads_);
    addLaptopFilter(filters);
    outer->addLayout(filters);

    auto* body = new QHBoxLayout;
    list_ = new QTableView(this);
    model_ = new HistoryListModel(this);
    list_->setModel(model_);
    // Each column as wide as what it shows (the port whole, the label on one
    // line); the label takes what is left.
    list_->setWordWrap(false);
    list_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    list_->horizontalHeader()->setSectionResizeMode(4, QHeaderView::Stretch);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->verticalHeader()->setVisible(false);
    body->addWidget(list_, 1);
    auto* side = new QVBoxLayout;
    plot_ = new CurveComparePlot(this);
    compare_ = new HistoryComparePanel(form_, plot_, this);
    details_ = new QPlainTextEdit(this);
    details_->setReadOnly(true);
    details_->setMaximumHeight(110);
    auto* buttons = new QHBoxLayout;
    restore_ = new QPushButton(this);
    export_ = new QPushButton(this);
    buttons->addWidget(restore_);
    buttons->addWidget(export_);
    side->addWidget(plot_, 3);
    side->addWidget(compare_, 2);
    side->addWidget(details_, 1);
    side->addLayout(buttons);
    body->addLayout(side, 1);
    outer->addLayout(body, 1);
    note_ = new QLabel(this);
    outer->addWidget(note_);

    QObject::connect(labelFilter_, &QLineEdit::textChanged, this, [this] { refresh(); });
    QObject::connect(from_, &QLineEdit::textChanged, this, [this] { refresh(); });
    QObject::connect(to_, &QLineEdit::textChanged, this, [this] { refresh(); });
    QObject::connect(kind_, &QComboBox::currentIndexChanged, this, [this] { refresh(); });
    QObject::connect(hideSettingsReads_, &QCheckBox::toggled, this, [this] { refresh(); });
    QObject::connect(list_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
                     [this](const QModelIndex& current) { choose(current.isValid() ? current.row() : -1); });
    QObject::connect(restore_, &QPushButton::clicked, this, [this] { restoreToEditor(); });
    QObject::connect(export_, &QPushButton::clicked, this, [this] { exportCurve(); });
    applyLanguage();
}

HistoryWindow::~HistoryWindow() {
    // The list sizes its columns from the records while the window's children go:
    // it must not read them after they went first.
    model_->setRecords(nullptr, english());
}

bool HistoryWindow::english() const { return form_.LanguageIndex == 1; }

void HistoryWindow::applyLanguage() {
    const bool en = english();
    setWindowTitle(en ? QStringLiteral("gasecu - History") : QStringLiteral("gasecu - Geçmiş"));
    labelFilter_->setPlaceholderText(en ? QStringLiteral("Label (plate, model)") : QStringLiteral("Etiket (plaka, model)"));
    from_->setToolTip(en ? QStringLiteral("From this day") : QStringLiteral("Bu günden"));
    to_->setToolTip(en ? QStringLiteral("Up to this day") : QStringLiteral("Bu güne kadar"));
    const int kindChosen = std::max(0, kind_->currentIndex());
    const QSignalBlocker quiet(kind_);
    kind_->clear();
    kind_->addItem(en ? QStringLiteral("All kinds") : QStringLiteral("Tüm işlemler"));
    for (history::Kind k : history::AllKinds())
        kind_->addItem(Text(en ? history::KindEnglish(k) : history::KindTurkish(k)), static_cast<int>(k));
    kind_->setCurrentIndex(kindChosen);
    restore_->setText(en ? QStringLiteral("Restore to the editor") : QStringLiteral("Editöre geri yükle"));
    export_->setText(en ? QStringLiteral("Export") : QStringLiteral("Dışa aktar"));
    hideSettingsReads_->setText(en ? QStringLiteral("Hide settings reads") : QStringLiteral("Ayar okumalarını gizle"));
    hideSettingsReads_->setToolTip(en ? QStringLiteral("Every visit to the settings screen leaves one")
                                      : QStringLiteral("Ayarlar ekranına her girişte bir tane kalır"));
    compare_->applyLanguage();
    if (isVisible()) refresh();
}

void HistoryWindow::addLaptopFilter(QHBoxLayout* filters) {
    laptop_ = new QComboBox(this);
    laptop_->setObjectName(QStringLiteral("LaptopFilter"));
    filters->addWidget(laptop_);
    QObject::connect(laptop_, &QComboBox::currentIndexChanged, this, [this] { refresh(); });
}

void HistoryWindow::fillLaptopFilter(const std::vector<std::string>& laptops) {
    const QString all = english() ? QStringLiteral("All laptops") : QStringLiteral("Tüm dizüstüler");
    QStringList items{all};
    for (const std::string& name : laptops) items << Text(name);
    QStringList shown;
    for (int i = 0; i < laptop_->count(); ++i) shown << laptop_->itemText(i);
    if (shown == items) return;
    const QString chosen = laptop_->currentIndex() > 0 ? laptop_->currentText() : QString();
    const QSignalBlocker quiet(laptop_);
    laptop_->clear();
    laptop_->addItems(items);
    laptop_->setCurrentIndex(std::max(0, static_cast<int>(items.indexOf(chosen))));
}

void HistoryWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    refresh();
}

void HistoryWindow::refresh() {
    history::Filter filter;
    filter.labelContains = labelFilter_->text().trimmed().toStdString();
    filter.fromDate = from_->text().trimmed().toStdString();
    filter.toDate = to_->text().trimmed().toStdString();
    if (kind_->currentIndex() > 0) filter.kind = static_cast<history::Kind>(kind_->currentData().toInt());
    if (laptop_->currentIndex() > 0) filter.laptop = laptop_->currentText().toStdString();
    // The chosen record stays chosen when it is still listed (a new language, a
    // filter that keeps it).
    const std::int64_t wasChosen = chosen_ ? chosen_->id : 0;  // ids count from 1
    std::string error;
    records_.clear();
    if (auto store = history::HistoryStore::Open(history::HistoryFileIn(form_.DataDirectory), &error)) {
        records_ = store->list(filter, &error);
        fillLaptopFilter(store->laptops());
    }
    HideSettingsReads(records_, hideSettingsReads_->isChecked() && !filter.kind);
    const bool en = english();
    note_->setText(!error.empty() ? (en ? QStringLiteral("The history cannot be read: ")
                                        : QStringLiteral("Geçmiş okunamıyor: ")) +
                                        Text(history::StoreErrorWords(error, en))
                   : !form_.LastRestorePointKept
                       ? (en ? QStringLiteral("The last record was not kept in the history")
                             : QStringLiteral("Son kayıt geçmişe yazılamadı"))
                       : QString());
    {
        const QSignalBlocker quiet(list_->selectionModel());
        model_->setRecords(&records_, en);
    }
    chosen_.reset();
    details_->clear();
    compare_->setCandidates(records_);
    compare_->compare(std::nullopt);
    restore_->setEnabled(false);
    export_->setEnabled(false);
    if (wasChosen == 0) return;
    const auto again = std::find_if(records_.begin(), records_.end(),
                                    [&](const history::Record& r) { return r.id == wasChosen; });
    if (again != records_.end()) list_->selectRow(static_cast<int>(again - records_.begin()));
}

int HistoryWindow::rowCount() const { return model_->rowCount(); }

std::string HistoryWindow::cell(int row, int column) const {
    return model_->data(model_->index(row, column), Qt::DisplayRole).toString().toStdString();
}

void HistoryWindow::choose(int row) {
    chosen_.reset();
    if (row >= 0 && row < static_cast<int>(records_.size())) {
        if (auto store = history::HistoryStore::Open(history::HistoryFileIn(form_.DataDirectory)))
            chosen_ = store->find(records_[static_cast<std::size_t>(row)].id);
    }
    const std::optional<CurveRows> curve = chosen_ ? RecordCurve(*chosen_) : std::nullopt;
    compare_->compare(chosen_);
    restore_->setEnabled(curve.has_value());
    export_->setEnabled(curve.has_value());
    if (!chosen_) {
        details_->clear();
        return;
    }
    const history::Record& r = *chosen_;
    QString text = DetailsText(r, english(), form_.env.decimalSeparator);
    if (r.pulled)
        text.prepend(Text(english() ? "Made on " + r.laptop + " (read-only)\n" : r.laptop + " dizüstünde yapıldı (salt okunur)\n"));
    details_->setPlainText(text);
}

void HistoryWindow::restoreToEditor() {
    if (!chosen_) return;
    const std::string curve = chosen_->curveText;
    const history::RecordName from = history::NameOf(*chosen_);
    run_([this, curve, from] { history::RestoreToEditor(form_, curve, from); });
    compare_->compare(chosen_);
}

void HistoryWindow::exportCurve() {
    if (!chosen_ || !form_.env.fileDialogs) return;
    const std::string curve = chosen_->curveText;
    run_([this, curve] {
        // The save button's dialog, with its preset name and folder.
        const std::string path = form_.env.fileDialogs->showSave(form_.CommonDialog1);
        if (path.empty()) return;
        const history::CurveOutcome o = history::ExportCurveFile(curve, path);
        form_.ShowMessage(o.turkish, o.english);
    });
}

}  // namespace gasecu::qt
