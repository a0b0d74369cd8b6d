#pragma once
// The workshop's history in the window: the job label field and the "Geçmiş" /
// "History" button beside the data log buttons, and the history window they open,
// which lists the restore points newest first (filtered by label, date and kind),
// draws the chosen record's curve dashed over the editor's curve, shows its
// settings, and puts its curve back into the editor or out as a curve file.
#include <QWidget>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "curve/curve_text.h"
#include "history/history_record.h"

class QComboBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTableView;

namespace gasecu {
class Form1Korvane;
}

namespace gasecu::qt {

class HistoryWindow;

// Runs a piece of the form's work as an event of the window (then mirrors).
using RunOnForm = std::function<void(const std::function<void()>&)>;

// The job label and the history button, for the window's fixed area.
class HistoryControls : public QWidget {
public:
    HistoryControls(Form1Korvane& form, RunOnForm run, QWidget* parent);
    ~HistoryControls() override;
    // Captions for the language, the label as the form holds it, the note of a
    // record not kept.
    void mirror();
    HistoryWindow* historyWindow() const { return window_; }
    QLineEdit* labelField() const { return label_; }
    QPushButton* historyButton() const { return button_; }
    // The button turns red with the reason as its tip while the last record was not kept.
    bool showsNotKept() const;

private:
    Form1Korvane& form_;
    QLineEdit* label_;
    QPushButton* button_;
    HistoryWindow* window_;
};

// The curve of the chosen record (dashed) over the editor's (solid).
class HistoryCurvePlot : public QWidget {
public:
    explicit HistoryCurvePlot(QWidget* parent) : QWidget(parent) { setMinimumSize(360, 260); }
    void setCurves(const CurveRows& current, std::optional<CurveRows> record);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    CurveRows current_{};
    std::optional<CurveRows> record_;
};

class HistoryListModel;

class HistoryWindow : public QWidget {
public:
    HistoryWindow(Form1Korvane& form, RunOnForm run, QWidget* owner);
    // Reads the records again with the filters as they are.
    void refresh();
    // Chooses the record in row `row` of the list.
    void choose(int row);
    void restoreToEditor();
    void exportCurve();
    void applyLanguage();

    QTableView* list() const { return list_; }
    // The text of one cell of the list, as shown.
    std::string cell(int row, int column) const;
    int rowCount() const;
    QLineEdit* labelFilter() const { return labelFilter_; }
    QLineEdit* fromDate() const { return from_; }
    QLineEdit* toDate() const { return to_; }
    QComboBox* kindFilter() const { return kind_; }
    QComboBox* laptopFilter() const { return laptop_; }
    QPlainTextEdit* details() const { return details_; }
    QLabel* note() const { return note_; }
    HistoryCurvePlot* plot() const { return plot_; }
    const std::optional<history::Record>& chosen() const { return chosen_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    bool english() const;
    // The workshop's laptops: the filter's choices, refreshed with the list.
    void addLaptopFilter(QHBoxLayout* filters);
    void fillLaptopFilter(const std::vector<std::string>& laptops);
    Form1Korvane& form_;
    RunOnForm run_;
    QLineEdit* labelFilter_;
    QLineEdit* from_;
    QLineEdit* to_;
    QComboBox* kind_;
    QComboBox* laptop_ = nullptr;
    QTableView* list_;
    HistoryListModel* model_;
    HistoryCurvePlot* plot_;
    QPlainTextEdit* details_;
    QPushButton* restore_;
    QPushButton* export_;
    QLabel* note_;
    std::vector<history::Record> records_;
    std::optional<history::Record> chosen_;
};

}  // namespace gasecu::qt
