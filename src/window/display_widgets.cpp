// The widgets that only show something: the pictures of the fuel display, the
// editor's idle and tilt pictures and the calibration marker, and the progress bars.
#include <QLabel>
#include <QProgressBar>
#include <algorithm>
#include <functional>
#include <cmath>
#include <optional>
#include <utility>

#include "window/widget_parts.h"

namespace gasecu::qt {

namespace {

class ImageWidget : public ControlWidget {
public:
    ImageWidget(ImageControl& c, std::string name, QWidget* parent, const WidgetEvents& ev)
        : c_(c), name_(std::move(name)), w_(new QLabel(parent)), english_(ev.english) {
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
            // While the link is down the fuel shown is the last the ECU sent: greyed.
            QPalette p = w_->palette();
            p.setColor(QPalette::Disabled, QPalette::Window, Faded(*back));
            p.setColor(QPalette::Disabled, QPalette::WindowText, QColor(90, 90, 90));
            w_->setPalette(p);
            QFont f = w_->font();
            f.setBold(true);
            w_->setFont(f);
        }
    }
    QWidget* widget() const override { return w_; }
    void mirror() override {
        mirrorCommon(c_, w_);
        const bool english = english_ && english_();
        if (Changed(glyph_, std::pair(c_.picture, english))) w_->setText(ImageGlyph(name_, c_.picture, english));
    }

private:
    ImageControl& c_;
    std::string name_;
    QLabel* w_;
    std::function<bool()> english_;
    std::optional<std::pair<int, bool>> glyph_;
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
        // Asked 55 times a second on an idle window: the bar is touched only when
        // its range or value moved.
        int lo = Scaled(c_.minimum), hi = Scaled(c_.maximum);
        if (hi < lo) hi = lo;
        if (Changed(range_, std::pair(lo, hi))) {
            w_->setRange(lo, hi);
            value_.reset();  // a new range may have reset the bar
        }
        int v = std::clamp(Scaled(c_.value), lo, hi);
        if (Changed(value_, v)) w_->setValue(v);
    }

private:
    static int Scaled(double v) {
        if (!std::isfinite(v)) return 0;
        return static_cast<int>(std::lround(std::clamp(v, -1e7, 1e7) * 100));
    }
    ProgressBarControl& c_;
    QProgressBar* w_;
    std::optional<std::pair<int, int>> range_;
    std::optional<int> value_;
};

}  // namespace

std::unique_ptr<ControlWidget> MakeImageWidget(ImageControl& c, std::string name, QWidget* parent, const WidgetEvents& ev) {
    return std::make_unique<ImageWidget>(c, std::move(name), parent, ev);
}

std::unique_ptr<ControlWidget> MakeProgressBarWidget(ProgressBarControl& c, QWidget* parent) {
    return std::make_unique<ProgressBarWidget>(c, parent);
}

namespace {

// The window's own captions for pictures the form gives no text: Turkish and
// English, the symbols shared.
struct Glyph {
    const char* name;
    const char* turkish;
    const char* english;
};
constexpr Glyph kGlyphs[] = {
    {"ImgBenzin", "BENZİN", "PETROL"},
    {"ImgGaz", "LPG", "LPG"},
    {"ImgGazGeçiş", "→ LPG", "→ LPG"},
    {"Rolantiyukarıdisabel", "▵ Rölanti", "▵ Idle"},
    {"Rolantiyukarıenabel", "▲ Rölanti", "▲ Idle"},
    {"Rolantiaşagıdisabel", "▿ Rölanti", "▿ Idle"},
    {"Rolantiaşagıenabel", "▼ Rölanti", "▼ Idle"},
    {"imgeğmedisabled", "◇ Eğim", "◇ Slope"},
    {"imgeğmeenabled", "◆ Eğim", "◆ Slope"},
    {"BenzinPic", "▶ BENZİN", "▶ PETROL"},
    {"LPGPic", "▶ LPG", "▶ LPG"},
};

}  // namespace

QString ImageGlyph(const std::string& name, int picture, bool english) {
    // The calibration marker's picture carries its own language.
    if (name == "AyarKırmızıImg") return picture == 2 ? QStringLiteral("● CAL") : QStringLiteral("● AYAR");
    for (const Glyph& g : kGlyphs)
        if (name == g.name) return QString::fromUtf8(english ? g.english : g.turkish);
    return {};
}

QString FuelSwitchTip(const std::string& name, bool english) {
    if (name == "BenzinPic") return english ? QStringLiteral("Switch to petrol") : QStringLiteral("Benzine geç");
    return english ? QStringLiteral("Switch to gas") : QStringLiteral("Gaza geç");
}

}  // namespace gasecu::qt
