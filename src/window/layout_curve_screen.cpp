// The curve screen's layout: the band and idle buttons, the idle and tilt
// pictures and the undo buttons down the left margin, the plot with its two rows
// of point boxes and the arrow cross, the live values to its right.
#include <QGridLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QVBoxLayout>
#include <utility>

#include "window/curve_readout.h"
#include "window/curve_widgets.h"
#include "window/event_table.h"
#include "window/main_window.h"

namespace gasecu::qt {

namespace {

// Two pictures at one place of which one is visible (released / pressed): the
// mouse goes to this overlay so that the release reaches the picture that was
// pressed even though the press swapped the pictures, as a held picture must.
class PicturePairOverlay : public QWidget {
public:
    PicturePairOverlay(QWidget* parent, const ImageControl& released, std::string releasedName,
                       std::string pressedName, MainWindow& window)
        : QWidget(parent), released_(released), releasedName_(std::move(releasedName)),
          pressedName_(std::move(pressedName)), window_(window) {
        setCursor(Qt::PointingHandCursor);
    }

protected:
    void mousePressEvent(QMouseEvent* e) override {
        if (e->button() != Qt::LeftButton) return;
        target_ = released_.visible ? releasedName_ : pressedName_;
        call(HandlersFor(target_).mouseDown);
    }
    void mouseReleaseEvent(QMouseEvent* e) override {
        if (e->button() != Qt::LeftButton || target_.empty()) return;
        std::string target = std::exchange(target_, {});
        ControlHandlers h = HandlersFor(target);
        call(h.mouseUp);
        if (rect().contains(e->position().toPoint())) call(h.click);
    }

private:
    void call(FormHandler handler) {
        if (handler) window_.runFormHandler(handler);
    }

    const ImageControl& released_;
    std::string releasedName_, pressedName_;
    MainWindow& window_;
    std::string target_;
};

}  // namespace

void MainWindow::layOutCurvePaper() {
    QWidget* paper = w("EğriKağıdıPic");
    auto* grid = new QGridLayout(paper);
    grid->setContentsMargins(8, 0, 8, 8);
    grid->setHorizontalSpacing(8);

    // Band buttons, the idle button, the idle and tilt pictures down the left margin.
    auto* left = new QVBoxLayout;
    left->setSpacing(4);
    // Beside the two rows of point boxes: what each row does.
    auto* rowCaptions = new QWidget(paper);
    rowCaptions->setFixedSize(92, PlotFrame::kBoxRowsHeight);
    for (int r = 0; r < 2; ++r) {
        rowCaptions_[r] = new QLabel(rowCaptions);
        rowCaptions_[r]->setObjectName(r == 0 ? QStringLiteral("RaiseRowCaption") : QStringLiteral("LowerRowCaption"));
        rowCaptions_[r]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        rowCaptions_[r]->setGeometry(0, 8 + 22 * r, 92, 18);
    }
    left->addWidget(rowCaptions);
    for (const char* name : {"devir1000", "devir2000", "devir3000", "devir4000", "devir5000", "devir6000"}) {
        w(name)->setFixedWidth(92);
        left->addWidget(w(name));
    }
    left->addSpacing(8);
    for (const char* name : {"devir123456", "Rolanti"}) {
        w(name)->setFixedWidth(92);
        left->addWidget(w(name));
    }
    left->addSpacing(12);
    left->addWidget(addPicturePair("Rolantiyukarıdisabel", "Rolantiyukarıenabel"));
    left->addWidget(addPicturePair("Rolantiaşagıdisabel", "Rolantiaşagıenabel"));
    left->addSpacing(12);
    left->addWidget(addPicturePair("imgeğmedisabled", "imgeğmeenabled"));
    // Undo, redo and the ECU's curve for comparison, under the editing tools.
    left->addSpacing(12);
    for (const char* name : {"ButonGeriAl", "ButonYinele", "CheckEkuEğrisi"}) {
        w(name)->setFixedWidth(92);
        left->addWidget(w(name));
    }
    left->addStretch(1);
    grid->addLayout(left, 0, 0);

    // The plot with its point boxes and axis labels takes all the room left over.
    auto* frame = new PlotFrame(paper, plot_);
    plotFrame_ = frame;
    plot_->setHoverHandler([this](std::optional<QPointF> at) {
        hoverPixel_ = at;
        mirrorCurveReadout();
    });
    // The two rows of point boxes above the plot, each box over its point's grid
    // line; the range boxes (index 18) lead each row, one column left of point 1.
    for (int k = 0; k <= 18; ++k) {
        const int column = k < 18 ? k + 1 : 0;
        frame->addPointBox(w("CheckÜ(" + std::to_string(k) + ")"), 0, column);
        frame->addPointBox(w("CheckA(" + std::to_string(k) + ")"), 1, column);
    }
    // The arrow cross and the select-all button on the plot, where the curves do
    // not run: bottom right (high petrol time, low gas time) and top left.
    w("hepsi")->resize(64, 28);
    frame->addOnPlot(w("hepsi"), Qt::TopLeftCorner, QPoint(8, 8));
    for (const char* name : {"AA", "sol", "sag", "YY"}) w(name)->resize(36, 36);
    frame->addOnPlot(w("AA"), Qt::BottomRightCorner, QPoint(-88, -144));
    frame->addOnPlot(w("sol"), Qt::BottomRightCorner, QPoint(-128, -104));
    frame->addOnPlot(w("sag"), Qt::BottomRightCorner, QPoint(-48, -104));
    frame->addOnPlot(w("YY"), Qt::BottomRightCorner, QPoint(-88, -64));
    grid->addWidget(frame, 0, 1);
    grid->setColumnStretch(1, 1);

    // Element 1 of the live values, to the right of the plot.
    auto* right = new QVBoxLayout;
    right->setSpacing(2);
    right->addSpacing(PlotFrame::kBoxRowsHeight);
    const char* rows[][3] = {{"Label15", "Label7(1)", "ProgressBar1(1)"},  {"Label18", "Label8(1)", "ProgressBar2(1)"},
                             {"Label19", "Label9(1)", "ProgressBar3(1)"},  {"Label20", "Label10(1)", "ProgressBar4(1)"},
                             {"Label22", "Label11(1)", "ProgressBar5(1)"}, {"Label23", "Label12(1)", "ProgressBar6(1)"}};
    for (auto& row : rows) {
        auto* line = new QHBoxLayout;
        w(row[0])->setFixedWidth(56);
        line->addWidget(w(row[0]));
        w(row[1])->setMinimumWidth(70);
        line->addWidget(w(row[1]), 1);
        right->addLayout(line);
        w(row[2])->setFixedSize(160, 12);
        right->addWidget(w(row[2]));
        right->addSpacing(10);
    }
    // Which colour is which band, and the point under the mouse or marked.
    legend_ = new BandLegend(paper);
    right->addWidget(legend_);
    right->addSpacing(6);
    readout_ = new PointReadoutLabel(paper);
    readout_->setFixedWidth(160);
    right->addWidget(readout_);
    right->addStretch(1);
    grid->addLayout(right, 0, 2);
}

void MainWindow::mirrorPointBoxTips() {
    const bool english = form_.LanguageIndex == 1;
    if (!rowCaptions_[0] || pointBoxTipsEnglish_ == english) return;
    pointBoxTipsEnglish_ = english;
    // Row 0 (CheckÜ) raises the points it marks, row 1 (CheckA) lowers them.
    struct Row {
        const char* boxes;
        const char* caption;
        const char* turkish;
        const char* english;
    };
    const Row rows[] = {{"CheckÜ", "▲", "Yükselt", "Raise"}, {"CheckA", "▼", "Alçalt", "Lower"}};
    for (int r = 0; r < 2; ++r) {
        const QString verb = QString::fromUtf8(english ? rows[r].english : rows[r].turkish);
        const QString whole = english ? QStringLiteral("%1: the points ticked in this row (the arrow buttons or keys move them)")
                                      : QStringLiteral("%1: bu satırda işaretli noktalar (ok düğmeleri ya da tuşları taşır)");
        rowCaptions_[r]->setText(verb + QChar(' ') + QString::fromUtf8(rows[r].caption));
        rowCaptions_[r]->setToolTip(whole.arg(verb));
        for (int k = 0; k <= 18; ++k) {
            QWidget* box = w(std::string(rows[r].boxes) + "(" + std::to_string(k) + ")");
            if (!box) continue;
            if (k < 18)
                box->setToolTip((english ? QStringLiteral("%1 point %2") : QStringLiteral("%1: nokta %2")).arg(verb).arg(k + 1));
            else
                box->setToolTip(english ? QStringLiteral("%1 from the first point ticked in this row to the right end").arg(verb)
                                        : QStringLiteral("%1: bu satırda ilk işaretli noktadan sağ uca kadar").arg(verb));
        }
    }
}

QWidget* MainWindow::addPicturePair(const char* released, const char* pressed) {
    // Both pictures and the overlay that takes the mouse share one place.
    QWidget* paper = w("EğriKağıdıPic");
    auto* place = new QWidget(paper);
    place->setFixedSize(92, 26);
    auto* cell = new QGridLayout(place);
    cell->setContentsMargins(0, 0, 0, 0);
    const ImageControl* control = std::get<ImageControl*>(FindControl(controls_, released)->control);
    auto* overlay = new PicturePairOverlay(place, *control, released, pressed, *this);
    for (QWidget* widget : {w(released), w(pressed), static_cast<QWidget*>(overlay)}) {
        widget->setParent(place);
        cell->addWidget(widget, 0, 0);
    }
    overlay->raise();
    return place;
}

}  // namespace gasecu::qt
