#include "window/calibration_view.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "app/form1korvane.h"
#include "app/number_format.h"
#include "window/curve_compare_plot.h"
#include "window/small_plot.h"

namespace gasecu::qt {

namespace {

constexpr double kGaugeTop = 3000;  // rpm at the gauge's right end
const QColor kTargetColour(0, 110, 0);
const QColor kPetrolOnGasColour(200, 0, 0);
const QColor kGasTimeColour(0, 70, 200);

}  // namespace

// ---------------------------------------------------------------------------

SpeedGauge::SpeedGauge(QWidget* parent) : QWidget(parent) {
    setMinimumSize(260, 44);
    setMaximumHeight(52);
}

void SpeedGauge::setSpeed(double rpm) {
    if (rpm == rpm_) return;
    rpm_ = rpm;
    update();
}

bool SpeedGauge::inWindow() const {
    return rpm_ >= calibration::kSpeedWindowLow && rpm_ <= calibration::kSpeedWindowHigh;
}

void SpeedGauge::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QFont small = font();
    small.setPixelSize(10);
    p.setFont(small);
    const QRectF bar(16, 4, width() - 36, 18);  // room for the end numbers
    auto x = [&](double rpm) { return bar.left() + bar.width() * std::clamp(rpm, 0.0, kGaugeTop) / kGaugeTop; };
    p.fillRect(bar, QColor(235, 235, 235));
    p.fillRect(QRectF(QPointF(x(calibration::kSpeedWindowLow), bar.top()),
                      QPointF(x(calibration::kSpeedWindowHigh), bar.bottom())),
               QColor(150, 220, 150));
    p.setPen(Qt::darkGray);
    p.drawRect(bar);
    for (int rpm = 0; rpm <= kGaugeTop; rpm += 500) {
        p.drawLine(QPointF(x(rpm), bar.bottom()), QPointF(x(rpm), bar.bottom() + 4));
        p.drawText(QRectF(x(rpm) - 20, bar.bottom() + 4, 40, 12), Qt::AlignCenter, QString::number(rpm));
    }
    // The needle, with the speed beside it.
    const QColor needle = inWindow() ? kTargetColour : QColor(200, 0, 0);
    p.setPen(QPen(needle, 3));
    p.drawLine(QPointF(x(rpm_), bar.top() - 2), QPointF(x(rpm_), bar.bottom() + 2));
    QFont bold = small;
    bold.setBold(true);
    bold.setPixelSize(12);
    p.setFont(bold);
    const QString text = QString::number(std::lround(rpm_)) + QStringLiteral(" rpm");
    const bool leftOfNeedle = x(rpm_) > bar.center().x();
    p.drawText(QRectF(leftOfNeedle ? x(rpm_) - 86 : x(rpm_) + 6, bar.top(), 80, bar.height()),
               static_cast<int>((leftOfNeedle ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter), text);
}

// ---------------------------------------------------------------------------

IterationPlot::IterationPlot(QWidget* parent) : QWidget(parent) { setMinimumSize(260, 150); }

void IterationPlot::setSamples(const std::vector<calibration::IterationSample>& samples, bool english) {
    if (samples == samples_ && english == english_) return;
    samples_ = samples;
    english_ = english;
    update();
}

void IterationPlot::paintEvent(QPaintEvent*) {
    QPainter p(this);
    StartSmallPlot(p, rect());
    // Milliseconds up to the largest time measured, in whole ms.
    double top = 4;
    for (const auto& s : samples_) top = std::max({top, s.petrolOnPetrol, s.petrolOnGas, s.gasTime});
    top = std::ceil(top + 0.5);
    const QRectF area(30, 8, std::max(10, width() - 40), std::max(10, height() - 50));
    const int n = calibration::kIterationLimit;
    auto at = [&](double iteration, double ms) {
        return QPointF(area.left() + area.width() * (iteration - 1) / (n - 1), area.bottom() - area.height() * ms / top);
    };
    p.setPen(QColor(225, 225, 225));
    for (int i = 1; i <= n; ++i) p.drawLine(at(i, 0), at(i, top));
    const int msStep = top > 12 ? 2 : 1;
    for (int ms = 0; ms <= top; ms += msStep) p.drawLine(at(1, ms), at(n, ms));
    p.setPen(Qt::black);
    p.drawRect(area);
    for (int i = 1; i <= n; ++i)
        p.drawText(QRectF(at(i, 0).x() - 10, area.bottom() + 1, 20, 12), Qt::AlignCenter, QString::number(i));
    for (int ms = 0; ms <= top; ms += msStep)
        p.drawText(QRectF(0, at(1, ms).y() - 6, 26, 12), Qt::AlignRight | Qt::AlignVCenter, QString::number(ms));
    p.drawText(QRectF(area.right() - 124, area.bottom() - 14, 120, 12), Qt::AlignRight,
               english_ ? QStringLiteral("iteration") : QStringLiteral("deneme"));

    auto series = [&](const QColor& colour, Qt::PenStyle style, auto value) {
        if (samples_.empty()) return;
        p.setPen(QPen(colour, 2, style));
        QPainterPath path(at(1, value(samples_.front())));
        for (std::size_t i = 1; i < samples_.size(); ++i) path.lineTo(at(static_cast<double>(i + 1), value(samples_[i])));
        p.drawPath(path);
        p.setBrush(colour);
        for (std::size_t i = 0; i < samples_.size(); ++i)
            p.drawEllipse(at(static_cast<double>(i + 1), value(samples_[i])), 2.5, 2.5);
        p.setBrush(Qt::NoBrush);
    };
    // The target across the whole plot: where the petrol time on gas must come to.
    if (!samples_.empty()) {
        p.setPen(QPen(kTargetColour, 1.5, Qt::DashLine));
        const double target = samples_.front().petrolOnPetrol;
        p.drawLine(at(1, target), at(n, target));
    }
    series(kPetrolOnGasColour, Qt::SolidLine, [](const auto& s) { return s.petrolOnGas; });
    series(kGasTimeColour, Qt::SolidLine, [](const auto& s) { return s.gasTime; });

    LegendCursor legend{area.left(), static_cast<qreal>(width()), area.left(), static_cast<qreal>(height() - 27)};
    DrawLegendEntry(p, legend, QPen(kTargetColour, 2, Qt::DashLine),
                    english_ ? QStringLiteral("petrol on petrol") : QStringLiteral("benzinde benzin"));
    DrawLegendEntry(p, legend, QPen(kPetrolOnGasColour, 2),
                    english_ ? QStringLiteral("petrol on gas") : QStringLiteral("gazda benzin"));
    DrawLegendEntry(p, legend, QPen(kGasTimeColour, 2), english_ ? QStringLiteral("gas (ms)") : QStringLiteral("gaz (ms)"));
}

// ---------------------------------------------------------------------------

CalibrationRunView::CalibrationRunView(const Form1Korvane& form, QWidget* parent)
    : QWidget(parent), form_(form), phase_(new QLabel(this)), gauge_(new SpeedGauge(this)),
      iterations_(new IterationPlot(this)), slope_(new QLabel(this)), curves_(new CurveComparePlot(this)),
      upload_(new QLabel(this)) {
    setObjectName(QStringLiteral("CalibrationRunView"));
    QFont bold = phase_->font();
    bold.setBold(true);
    phase_->setFont(bold);
    slope_->setFont(bold);
    upload_->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    layout->addWidget(phase_);
    layout->addWidget(gauge_);
    // The iterations take the width alone during the run, half of it once the
    // curves before and after join them.
    auto* plots = new QHBoxLayout;
    plots->addWidget(iterations_, 1);
    plots->addWidget(curves_, 1);
    layout->addLayout(plots, 1);
    auto* under = new QHBoxLayout;
    under->addWidget(slope_, 1);
    under->addWidget(upload_, 1);
    layout->addLayout(under);
    curves_->hide();
}

void CalibrationRunView::mirror() {
    const bool english = form_.LanguageIndex == 1;
    const calibration::Phase phase = calibration::CurrentPhase(form_);
    const int iteration = std::clamp(static_cast<int>(form_.IterationCount) +
                                         (phase == calibration::Phase::MeasuringGas ? 1 : 0),
                                     1, calibration::kIterationLimit);
    QString phaseText = QString::fromStdString(calibration::PhaseText(phase, iteration, english));
    if (phase == calibration::Phase::Idle && form_.CalibrationCurveBefore)
        phaseText = english ? QStringLiteral("Run ended") : QStringLiteral("Kalibrasyon bitti");
    if (phase_->text() != phaseText) phase_->setText(phaseText);
    gauge_->setSpeed(form_.EngineSpeed);
    gauge_->setToolTip(english ? QStringLiteral("Engine speed; the run needs 2000-2200 rpm")
                               : QStringLiteral("Motor devri; kalibrasyon 2000-2200 d/d ister"));
    iterations_->setSamples(form_.CalibrationIterations, english);

    const QString slope = form_.SlopeFactor > 0
                              ? (english ? QStringLiteral("Slope factor: ") : QStringLiteral("Eğim faktörü: ")) +
                                    QString::fromStdString(FormatFixed(form_.SlopeFactor, 2, form_.env.decimalSeparator))
                              : QString();
    if (slope_->text() != slope) slope_->setText(slope);

    // After the rescaling: the factory reference dashed under the rescaled curve.
    const bool rescaled = form_.CalibrationCurveBefore.has_value();
    curves_->setVisible(rescaled);
    if (rescaled) {
        curves_->setEnglish(english);
        curves_->setCurves(form_.CurveTable, english ? QStringLiteral("after") : QStringLiteral("sonra"),
                           form_.CalibrationCurveBefore,
                           english ? QStringLiteral("before (reference)") : QStringLiteral("önce (referans)"));
    }
    // The upload button's own caption, as the fitter sees it beside.
    const QString button = QString::fromStdString(form_.Kalibrasyonyükleme.caption).simplified();
    const QString offer = form_.Kalibrasyonyükleme.visible && rescaled
                              ? (english ? QStringLiteral("The rescaled curve is in the editor: \"%1\" writes it to "
                                                          "the ECU and reads it back.")
                                         : QStringLiteral("Yeni eğri editörde: \"%1\" onu EKÜ'ye yazar ve geri okur."))
                                    .arg(button)
                              : QString();
    if (upload_->text() != offer) upload_->setText(offer);
}

}  // namespace gasecu::qt
