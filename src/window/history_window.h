#pragma once
// The workshop's history in the window: the job label field and the "Geçmiş" /
// "History" button beside the data log buttons, and the history window they open,
// which lists the restore points newest first (filtered by label, date and kind),
// draws the chosen record's curve dashed over the editor's curve (or another
// record's) with the points that differ, shows its settings beside the ECU's, and
// puts its curve back into the editor or out as a curve file.
#include <QWidget>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "curve/curve_text.h"
#include "history/history_record.h"

class QCheckBox;
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
class SyncNote;
class CurveComparePlot;
class HistoryComparePanel;

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
    // The workshop sync stays off the history file while a file dialog is up.
    void pauseHistoryUse(bool dialogShown);
    QPushButton* historyButton() const { return button_; }
    // The button turns red with the reason as its tip while the last record was not kept.
    bool showsNotKept() const;
    // Sizes and places the history window before the button shows it.
    void setPlacement(std::function<void(QWidget*)> place) { place_ = std::move(place); }

private:
    Form1Korvane& form_;
    QLineEdit* label_;
    QPushButton* button_;
    SyncNote* syncNote_;
    HistoryWindow* window_;
    std::function<void(QWidget*)> place_;
};

class HistoryListModel;

class HistoryWindow : public QWidget {
public:
    HistoryWindow(Form1Korvane& form, RunOnForm run, QWidget* owner);
    ~HistoryWindow() override;
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
    CurveComparePlot* plot() const { return plot_; }
    HistoryComparePanel* comparePanel() const { return compare_; }
    // Hides the records every settings read leaves (unless that kind is chosen).
    QCheckBox* hideSettingsReads() const { return hideSettingsReads_; }
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
    CurveComparePlot* plot_;
    HistoryComparePanel* compare_;
    QCheckBox* hideSettingsReads_;
    QPlainTextEdit* details_;
    QPushButton* restore_;
    QPushButton* export_;
    QLabel* note_;
    std::vector<history::Record> records_;
    std::optional<history::Record> chosen_;
};

}  // namespace gasecu::qt
