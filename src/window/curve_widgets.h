#pragma once
// The widgets behind the picture boxes: the curve paper with its axis labels, the
// plot that shows what the curve drawing painted, and the plain screen panels.
#include <QFrame>
#include <QImage>
#include <QWidget>
#include <cstdint>
#include <QPointF>
#include <functional>
#include <optional>
#include <vector>

namespace gasecu::qt {

// The curve paper EğriKağıdıPic: a plain green-grey sheet; the plot sits on it in
// a PlotFrame that writes the axis labels.
class CurvePaperWidget : public QWidget {
public:
    explicit CurvePaperWidget(QWidget* parent);
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
    // Told the plot's new size in pixels, so the picture is drawn at that size.
    void setResizeHandler(std::function<void(QSize)> handler) { resized_ = std::move(handler); }
    // Told where the mouse is over the plot (in pixels), and nothing when it left.
    void setHoverHandler(std::function<void(std::optional<QPointF>)> handler);

protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void leaveEvent(QEvent*) override;

private:
    std::function<void(std::optional<QPointF>)> hovered_;
    std::function<const QImage*()> source_;
    std::function<std::uint64_t()> version_;
    std::uint64_t shownVersion_ = ~std::uint64_t{0};
    std::function<void(QSize)> resized_;
};

// The plot with what lies around it on the paper: the two rows of point boxes
// above it, each box over its point's grid line; the gas time labels left of it
// and the petrol time labels under it; the edit buttons on it, each kept at its
// distance from one corner of the plot. The plot takes all the room the layout
// gives the frame, and everything else is placed from the plot's size.
class PlotFrame : public QWidget {
public:
    PlotFrame(QWidget* parent, PlotWidget* plot);
    // A point box in row 0 (raise) or 1 (lower) over grid column `column` (0..18).
    void addPointBox(QWidget* box, int row, int column);
    // A widget on the plot, its top-left corner `offset` from the plot's corner
    // (negative offsets from a right or bottom edge).
    void addOnPlot(QWidget* widget, Qt::Corner corner, QPoint offset);
    // Where the plot lies in the frame.
    QRect plotRect() const;
    // The top of the plot's user coordinates (559: 28 ms of gas time); the gas
    // time labels follow it.
    void setPlotTop(double top);
    double plotTop() const { return top_; }
    QSize minimumSizeHint() const override;
    QSize sizeHint() const override;

    static constexpr int kBoxRowsHeight = 56;  // the two rows of point boxes
    static constexpr QSize kSmallestPlot{440, 260};

protected:
    void resizeEvent(QResizeEvent*) override;
    void paintEvent(QPaintEvent*) override;

private:
    void place();
    struct PointBox {
        QWidget* box;
        int row, column;
    };
    struct OnPlot {
        QWidget* widget;
        Qt::Corner corner;
        QPoint offset;
    };
    PlotWidget* plot_;
    double top_ = 559;
    std::vector<PointBox> boxes_;
    std::vector<OnPlot> onPlot_;
};

// A screen of the work area (settings, calibration): a panel with its own background.
class ScreenWidget : public QFrame {
public:
    explicit ScreenWidget(QWidget* parent);
};

}  // namespace gasecu::qt
