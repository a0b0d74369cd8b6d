#pragma once
// The "virtual engine" panel of the simulate mode: the fitter's foot and the car
// around the virtual controller. Holds an engine speed, sets gas pressure and
// temperatures (or lets them warm up), fits a small nozzle, and switches the line
// faults on and off. It only turns the controller's setters; it owns nothing.
#include <QWidget>
#include <array>
#include <functional>

#include "virtual_ecu.h"

class QBoxLayout;
class QCheckBox;
class QGridLayout;
class QDoubleSpinBox;
class QGroupBox;
class QPushButton;
class QLabel;
class QSpinBox;
class QTimer;

namespace gasecu {

class VirtualEnginePanel : public QWidget {
    Q_OBJECT
public:
    // english tells the fitter's language (English when not given); the panel
    // follows it at every refresh.
    explicit VirtualEnginePanel(sim::VirtualEcu& ecu, QWidget* parent = nullptr, std::function<bool()> english = {});

    // Probability a faulty reply gets when its box is ticked.
    static constexpr double kFaultRate = 0.2;

    // Re-reads the controller into the controls and the status line.
    void refresh();

    // Tall (beside the tool's window) or wide (under it, on a small screen).
    void setOrientation(Qt::Orientation orientation);
    // The panel's size in the given orientation.
    QSize sizeHintFor(Qt::Orientation orientation);

private:
    void applyTemperature(QCheckBox* warmUp, QDoubleSpinBox* value, bool reducer);
    // Every caption in the language, when it changed.
    void applyLanguage(bool english);

    sim::VirtualEcu& ecu_;
    QSpinBox* rpm_ = nullptr;
    QDoubleSpinBox* pressure_ = nullptr;
    QCheckBox* reducerWarmUp_ = nullptr;
    QDoubleSpinBox* reducerC_ = nullptr;
    QCheckBox* gasWarmUp_ = nullptr;
    QDoubleSpinBox* gasC_ = nullptr;
    QCheckBox* smallNozzle_ = nullptr;
    QCheckBox* silent_ = nullptr;
    std::array<QCheckBox*, sim::kReplyFaultKinds> faults_{};
    QLabel* status_ = nullptr;
    QBoxLayout* layout_ = nullptr;
    QGridLayout* faultLayout_ = nullptr;
    Qt::Orientation orientation_ = Qt::Vertical;
    QTimer* refreshTimer_ = nullptr;
    std::function<bool()> english_;
    int language_ = -1;
    QGroupBox* engine_ = nullptr;
    QGroupBox* line_ = nullptr;
    QPushButton* readyForCalibration_ = nullptr;
    std::array<QLabel*, 4> rowCaptions_{};
};

}  // namespace gasecu
