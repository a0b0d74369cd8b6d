#pragma once
// A small plot of one curve (solid, in the band colours) with a second one over
// it (dashed, in the pale band colours), on the main plot's axes: petrol time
// across, gas time up, a grid line each millisecond, the band legend and which
// curve is which. Points that differ between the two can be ringed.
#include <QString>
#include <QWidget>
#include <optional>
#include <vector>

#include "curve/curve_difference.h"

namespace gasecu::qt {

class CurveComparePlot : public QWidget {
public:
    explicit CurveComparePlot(QWidget* parent);
    void setCurves(const curve::CurveRows& solid, const QString& solidName, std::optional<curve::CurveRows> dashed,
                   const QString& dashedName);
    // Rings these points (of the solid curve).
    void setMarked(std::vector<curve::PointDifference> marked);
    void setEnglish(bool english);
    bool showsSecondCurve() const { return dashed_.has_value(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    curve::CurveRows solid_{};
    std::optional<curve::CurveRows> dashed_;
    QString solidName_, dashedName_;
    std::vector<curve::PointDifference> marked_;
    bool english_ = false;
};

}  // namespace gasecu::qt
