#pragma once
// Compare in the history window: the chosen record's curve (dashed) against the
// editor's curve or another record's (solid), the points that differ ringed on
// the plot and listed, and the record's settings beside the ECU's as last read.
#include <QWidget>
#include <optional>
#include <vector>

#include "curve/point_readout.h"
#include "history/history_record.h"

class QComboBox;
class QLabel;
class QListWidget;
class QTableWidget;

namespace gasecu {
class Form1Korvane;
}

namespace gasecu::qt {

class CurveComparePlot;

class HistoryComparePanel : public QWidget {
public:
    HistoryComparePanel(const Form1Korvane& form, CurveComparePlot* plot, QWidget* parent);
    // The records the fitter may compare against (those that keep a curve).
    void setCandidates(const std::vector<history::Record>& records);
    // Draws and lists the chosen record against the reference; nothing chosen:
    // the reference alone.
    void compare(const std::optional<history::Record>& chosen);
    void applyLanguage();

    QComboBox* against() const { return against_; }
    QListWidget* differences() const { return differences_; }
    QTableWidget* settings() const { return settings_; }

private:
    bool english() const;
    // The reference curve and its name: the editor's, or the record picked.
    bool reference(curve::CurveRows& rows, QString& name) const;
    void showSettings(const std::optional<history::Record>& chosen);

    const Form1Korvane& form_;
    CurveComparePlot* plot_;
    QLabel* againstCaption_;
    QComboBox* against_;
    QListWidget* differences_;
    QTableWidget* settings_;
    std::vector<history::Record> candidates_;
    std::optional<history::Record> chosen_;
};

// The curve a record keeps, if it keeps one that reads.
std::optional<curve::CurveRows> RecordCurve(const history::Record& record);
// Whether records of this kind keep a curve.
bool KeepsACurve(history::Kind kind);

}  // namespace gasecu::qt
