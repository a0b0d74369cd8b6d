#include "window/history_compare.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QTableWidget>
#include <QVBoxLayout>
#include <map>

#include "app/form1korvane.h"
#include "app/number_format.h"
#include "curve/curve_difference.h"
#include "curve/curve_text.h"
#include "history/history_store.h"
#include "history/record_words.h"
#include "window/curve_compare_plot.h"

namespace gasecu::qt {

namespace {

QString Shown(const std::string& s) { return QString::fromStdString(s); }

QString RecordName(const history::Record& r, bool english) {
    return QStringLiteral("#%1  %2  %3").arg(r.id).arg(Shown(r.time)).arg(
        Shown(std::string(english ? history::KindEnglish(r.kind) : history::KindTurkish(r.kind))));
}

}  // namespace

std::optional<curve::CurveRows> RecordCurve(const history::Record& r) {
    if (r.curveText.empty()) return std::nullopt;
    auto parsed = curve::ParseCurveText(r.curveText);
    if (!parsed) return std::nullopt;
    curve::CurveRows rows{};
    parsed->applyTo(rows);
    return rows;
}

bool KeepsACurve(history::Kind kind) {
    using K = history::Kind;
    return kind == K::CurveRead || kind == K::EcuCurveBeforeWrite || kind == K::CurveWrite ||
           kind == K::Calibration || kind == K::FileLoad || kind == K::FileSave;
}

HistoryComparePanel::HistoryComparePanel(const Form1Korvane& form, CurveComparePlot* plot, QWidget* parent)
    : QWidget(parent), form_(form), plot_(plot), againstCaption_(new QLabel(this)), against_(new QComboBox(this)),
      differences_(new QListWidget(this)), settings_(new QTableWidget(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* row = new QHBoxLayout;
    row->addWidget(againstCaption_);
    row->addWidget(against_, 1);
    layout->addLayout(row);
    auto* lists = new QHBoxLayout;
    lists->addWidget(differences_, 1);
    lists->addWidget(settings_, 1);
    layout->addLayout(lists, 1);
    settings_->setColumnCount(3);
    settings_->verticalHeader()->setVisible(false);
    settings_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    settings_->setWordWrap(false);
    settings_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    settings_->horizontalHeader()->setStretchLastSection(true);
    QObject::connect(against_, &QComboBox::currentIndexChanged, this, [this] { compare(chosen_); });
    applyLanguage();
}

bool HistoryComparePanel::english() const { return form_.LanguageIndex == 1; }

void HistoryComparePanel::applyLanguage() {
    againstCaption_->setText(english() ? QStringLiteral("Compare with:") : QStringLiteral("Karşılaştır:"));
    setCandidates(candidates_);
}

void HistoryComparePanel::setCandidates(const std::vector<history::Record>& records) {
    candidates_.clear();
    for (const history::Record& r : records)
        if (KeepsACurve(r.kind)) candidates_.push_back(r);
    const qint64 was = against_->currentData().toLongLong();
    const QSignalBlocker quiet(against_);
    against_->clear();
    against_->addItem(english() ? QStringLiteral("the editor's curve") : QStringLiteral("editördeki eğri"), qint64{0});
    for (const history::Record& r : candidates_) against_->addItem(RecordName(r, english()), qint64{r.id});
    against_->setCurrentIndex(std::max(0, against_->findData(was)));
}

bool HistoryComparePanel::reference(curve::CurveRows& rows, QString& name) const {
    const qint64 id = against_->currentData().toLongLong();
    if (id == 0) {
        rows = form_.CurveTable;
        name = english() ? QStringLiteral("editor") : QStringLiteral("editör");
        return true;
    }
    auto store = history::HistoryStore::Open(history::HistoryFileIn(form_.DataDirectory));
    if (!store) return false;
    const std::optional<history::Record> other = store->find(id);
    const std::optional<curve::CurveRows> curve = other ? RecordCurve(*other) : std::nullopt;
    if (!curve) return false;
    rows = *curve;
    name = QStringLiteral("#%1").arg(id);
    return true;
}

void HistoryComparePanel::compare(const std::optional<history::Record>& chosen) {
    chosen_ = chosen;
    const bool en = english();
    curve::CurveRows solid{};
    QString solidName;
    if (!reference(solid, solidName)) {
        solid = form_.CurveTable;
        solidName = en ? QStringLiteral("editor") : QStringLiteral("editör");
    }
    const std::optional<curve::CurveRows> dashed = chosen ? RecordCurve(*chosen) : std::nullopt;
    plot_->setEnglish(en);
    plot_->setCurves(solid, solidName, dashed, chosen ? QStringLiteral("#%1").arg(chosen->id) : QString());
    differences_->clear();
    std::vector<curve::PointDifference> differ;
    if (dashed) {
        differ = curve::DifferingPoints(solid, *dashed);
        differences_->addItem(differ.empty()
                                  ? (en ? QStringLiteral("The two curves are equal") : QStringLiteral("İki eğri aynı"))
                                  : (en ? QStringLiteral("%1 points differ (%2 → #%3):")
                                        : QStringLiteral("%1 nokta farklı (%2 → #%3):"))
                                        .arg(differ.size())
                                        .arg(solidName)
                                        .arg(chosen->id));
        const char mark = form_.env.decimalSeparator;
        for (const curve::PointDifference& d : differ)
            differences_->addItem(QStringLiteral("%1 %2, %3 %4: %5 → %6 ms")
                                      .arg((d.band + 1) * 1000)
                                      .arg(en ? QStringLiteral("rpm") : QStringLiteral("d/d"))
                                      .arg(en ? QStringLiteral("point") : QStringLiteral("nokta"))
                                      .arg(d.point)
                                      .arg(Shown(FormatFixed(d.first / curve::kUnitsPerGasMs, 2, mark)))
                                      .arg(Shown(FormatFixed(d.second / curve::kUnitsPerGasMs, 2, mark))));
    } else if (chosen) {
        differences_->addItem(en ? QStringLiteral("This record keeps no curve") : QStringLiteral("Bu kayıtta eğri yok"));
    }
    plot_->setMarked(differ);
    showSettings(chosen);
}

void HistoryComparePanel::showSettings(const std::optional<history::Record>& chosen) {
    const bool en = english();
    const char mark = form_.env.decimalSeparator;
    settings_->setHorizontalHeaderLabels({en ? QStringLiteral("Setting") : QStringLiteral("Ayar"),
                                          en ? QStringLiteral("In the record") : QStringLiteral("Kayıtta"),
                                          en ? QStringLiteral("ECU now") : QStringLiteral("EKÜ'de şimdi")});
    const std::vector<history::SettingLine> kept =
        chosen ? history::SettingsWords(chosen->settings, en, mark) : std::vector<history::SettingLine>{};
    const std::vector<history::SettingLine> now = history::SettingsWords(form_.KnownSettings, en, mark);
    // Rows in the record's order, then any only the ECU's read has.
    std::vector<std::string> names;
    std::map<std::string, std::pair<QString, QString>> values;
    std::map<std::string, QString> captions;
    for (const auto& l : kept) {
        names.push_back(l.name);
        captions[l.name] = Shown(l.caption);
        values[l.name].first = Shown(l.value);
    }
    for (const auto& l : now) {
        if (!captions.count(l.name)) names.push_back(l.name);
        captions[l.name] = Shown(l.caption);
        values[l.name].second = Shown(l.value);
    }
    settings_->setRowCount(static_cast<int>(names.size()));
    const QString unknown = en ? QStringLiteral("not known") : QStringLiteral("bilinmiyor");
    for (int i = 0; i < static_cast<int>(names.size()); ++i) {
        const auto& [record, ecu] = values[names[static_cast<std::size_t>(i)]];
        auto* caption = new QTableWidgetItem(captions[names[static_cast<std::size_t>(i)]]);
        auto* left = new QTableWidgetItem(record.isEmpty() ? unknown : record);
        auto* right = new QTableWidgetItem(ecu.isEmpty() ? unknown : ecu);
        if (!record.isEmpty() && !ecu.isEmpty() && record != ecu) {
            for (QTableWidgetItem* item : {caption, left, right}) {
                item->setForeground(QColor(190, 0, 0));
                QFont bold = item->font();
                bold.setBold(true);
                item->setFont(bold);
            }
        }
        settings_->setItem(i, 0, caption);
        settings_->setItem(i, 1, left);
        settings_->setItem(i, 2, right);
    }
}

}  // namespace gasecu::qt
