#pragma once
// The calibration run as the fitter watches it, beside the run's readings: the
// engine speed against the 2000-2200 rpm window the run needs, the phase, the
// petrol and gas times of each iteration closing in on the petrol time measured
// on petrol, the slope factor, and after the run the curve before (the factory
// reference, dashed) and after its rescaling, with the upload offered.
#include <QWidget>
#include <vector>

#include "calibration/calibration_progress.h"

class QLabel;

namespace gasecu {
class Form1Korvane;
}

namespace gasecu::qt {

class CurveComparePlot;

// A horizontal scale of 0..3000 rpm with the run's window marked and a needle at
// the engine speed; green inside the window, red outside it.
class SpeedGauge : public QWidget {
public:
    explicit SpeedGauge(QWidget* parent);
    void setSpeed(double rpm);
    double speed() const { return rpm_; }
    bool inWindow() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    double rpm_ = 0;
};

// Per iteration: the petrol time on gas and the gas time, against the petrol time
// on petrol (the target, a flat line).
class IterationPlot : public QWidget {
public:
    explicit IterationPlot(QWidget* parent);
    void setSamples(const std::vector<calibration::IterationSample>& samples, bool english);
    std::size_t sampleCount() const { return samples_.size(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::vector<calibration::IterationSample> samples_;
    bool english_ = false;
};

class CalibrationRunView : public QWidget {
public:
    CalibrationRunView(const Form1Korvane& form, QWidget* parent);
    void mirror();

    QLabel* phase() const { return phase_; }
    QLabel* slope() const { return slope_; }
    SpeedGauge* gauge() const { return gauge_; }
    IterationPlot* iterations() const { return iterations_; }
    CurveComparePlot* curves() const { return curves_; }

private:
    const Form1Korvane& form_;
    QLabel* phase_;
    SpeedGauge* gauge_;
    IterationPlot* iterations_;
    QLabel* slope_;
    CurveComparePlot* curves_;
    QLabel* upload_;
};

}  // namespace gasecu::qt
