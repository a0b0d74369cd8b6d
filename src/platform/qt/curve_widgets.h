#pragma once
// The widgets behind the picture boxes: the curve paper with its axis labels, the
// plot that shows what the curve drawing painted, and the plain screen panels.
#include <QFrame>
#include <QImage>
#include <QWidget>
#include <cstdint>
#include <functional>

namespace gasecu::qt {

// The curve paper EğriKağıdıPic: a plain green-grey sheet with white axis labels
// (petrol time 0..18 ms along the bottom, gas time 0..28 ms up the left side) that
// line up with the grid of the plot sitting on it at kPlotOnPaper.
class CurvePaperWidget : public QWidget {
public:
    explicit CurvePaperWidget(QWidget* parent);

protected:
    void paintEvent(QPaintEvent*) override;
};

// The plot EğriPic. It shows the picture the curve drawing keeps (the form draws
// into it 40 times a second); without one it is an empty plot area.
class PlotWidget : public QWidget {
public:
    explicit PlotWidget(QWidget* parent);
    void setImageSource(std::function<const QImage*()> source, std::function<std::uint64_t()> version = {}) {
        source_ = std::move(source);
        version_ = std::move(version);
        update();
    }
    // Repaints when the picture changed (always, when its source keeps no count).
    void refresh();

protected:
    void paintEvent(QPaintEvent*) override;

private:
    std::function<const QImage*()> source_;
    std::function<std::uint64_t()> version_;
    std::uint64_t shownVersion_ = ~std::uint64_t{0};
};

// A screen of the work area (settings, calibration): a panel with its own background.
class ScreenWidget : public QFrame {
public:
    explicit ScreenWidget(QWidget* parent);
};

}  // namespace gasecu::qt
