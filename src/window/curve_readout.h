#pragma once
// Beside the curve plot: the band colour legend (which colour is which engine
// speed) and the readout of the point under the mouse or marked for editing.
#include <QLabel>
#include <QWidget>
#include <optional>

#include "curve/point_readout.h"

namespace gasecu::qt {

// The six band colours, each with its engine speed, as the plot draws them.
class BandLegend : public QWidget {
public:
    explicit BandLegend(QWidget* parent);
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent*) override;
};

// The readout: band, point, petrol and gas time and the curve value; a dash while
// no point is under the mouse or marked.
class PointReadoutLabel : public QLabel {
public:
    explicit PointReadoutLabel(QWidget* parent);
    void showPoint(const std::optional<curve::PointReadout>& readout, bool english, char decimalSeparator);
    // What the label last showed (the readout, or nothing).
    const std::optional<curve::PointReadout>& shown() const { return shown_; }

private:
    std::optional<curve::PointReadout> shown_;
    bool english_ = false;
    bool once_ = false;
};

}  // namespace gasecu::qt
