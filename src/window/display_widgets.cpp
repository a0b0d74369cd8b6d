// The widgets that only show something: the pictures of the fuel display, the
// editor's idle and tilt pictures and the calibration marker, and the progress bars.
#include <QLabel>
#include <QProgressBar>
#include <algorithm>
#include <cmath>

#include "window/widget_parts.h"

namespace gasecu::qt {

namespace {

class ImageWidget : public ControlWidget {
public:
    ImageWidget(ImageControl& c, std::string name, QWidget* parent, const WidgetEvents& ev)
        : c_(c), name_(std::move(name)), w_(new QLabel(parent)) {
        w_->setAlignment(Qt::AlignCenter);
        WatchMouse(w_, ev);
        // The fuel display: what the engine runs on, in a colour seen from across the workshop.
        std::optional<QColor> back;
        if (name_ == "ImgBenzin") back = QColor(200, 40, 40);
        if (name_ == "ImgGaz") back = QColor(30, 150, 60);
        if (name_ == "ImgGazGeçiş") back = QColor(220, 180, 0);
        if (back) {
            w_->setAutoFillBackground(true);
            SetRole(w_, QPalette::Window, back);
            SetRole(w_, QPalette::WindowText, QColor(Qt::white));
            QFont f = w_->font();
            f.setBold(true);
            w_->setFont(f);
        }
    }
    QWidget* widget() const override { return w_; }
    void mirror() override {
        mirrorCommon(c_, w_);
        if (Changed(picture_, c_.picture)) w_->setText(ImageGlyph(name_, c_.picture));
    }

private:
    ImageControl& c_;
    std::string name_;
    QLabel* w_;
    std::optional<int> picture_;
};

// Bars take whole numbers; the pressure bar runs 0..2 bar, so the bar works in
// hundredths to show 1.37 bar as such.
class ProgressBarWidget : public ControlWidget {
public:
    ProgressBarWidget(ProgressBarControl& c, QWidget* parent) : c_(c), w_(new QProgressBar(parent)) {
        w_->setTextVisible(false);
    }
    QWidget* widget() const override { return w_; }
    void mirror() override {
        mirrorCommon(c_, w_);
        int lo = Scaled(c_.minimum), hi = Scaled(c_.maximum);
        if (hi < lo) hi = lo;
        if (w_->minimum() != lo || w_->maximum() != hi) w_->setRange(lo, hi);
        int v = std::clamp(Scaled(c_.value), lo, hi);
        if (w_->value() != v) w_->setValue(v);
    }

private:
    static int Scaled(double v) {
        if (!std::isfinite(v)) return 0;
        return static_cast<int>(std::lround(std::clamp(v, -1e7, 1e7) * 100));
    }
    ProgressBarControl& c_;
    QProgressBar* w_;
};

}  // namespace

std::unique_ptr<ControlWidget> MakeImageWidget(ImageControl& c, std::string name, QWidget* parent, const WidgetEvents& ev) {
    return std::make_unique<ImageWidget>(c, std::move(name), parent, ev);
}

std::unique_ptr<ControlWidget> MakeProgressBarWidget(ProgressBarControl& c, QWidget* parent) {
    return std::make_unique<ProgressBarWidget>(c, parent);
}

QString ImageGlyph(const std::string& name, int picture) {
    if (name == "ImgBenzin") return QStringLiteral("BENZİN");
    if (name == "ImgGaz") return QStringLiteral("LPG");
    if (name == "ImgGazGeçiş") return QStringLiteral("→ LPG");
    if (name == "Rolantiyukarıdisabel") return QStringLiteral("▵ Rölanti");
    if (name == "Rolantiyukarıenabel") return QStringLiteral("▲ Rölanti");
    if (name == "Rolantiaşagıdisabel") return QStringLiteral("▿ Rölanti");
    if (name == "Rolantiaşagıenabel") return QStringLiteral("▼ Rölanti");
    if (name == "imgeğmedisabled") return QStringLiteral("◇ Eğim");
    if (name == "imgeğmeenabled") return QStringLiteral("◆ Eğim");
    if (name == "AyarKırmızıImg") return picture == 2 ? QStringLiteral("● CAL") : QStringLiteral("● AYAR");
    return {};
}

}  // namespace gasecu::qt
