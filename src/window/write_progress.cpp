#include "window/write_progress.h"

#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>
#include <algorithm>

#include "app/form1korvane.h"
#include "link/curve_write_check.h"

namespace gasecu::qt {

namespace {
// The write's bar runs over the seven blocks (1..11), its check's over the six
// bands read back (11..17).
constexpr int kWriteSteps = static_cast<int>(link::kWriteProgressMaximum);
constexpr int kCheckedBands = 6;
}  // namespace

WriteProgressBanner::WriteProgressBanner(const Form1Korvane& form, QWidget* plot)
    : QFrame(plot), form_(form), caption_(new QLabel(this)), bar_(new QProgressBar(this)) {
    setObjectName(QStringLiteral("WriteProgress"));
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    QPalette pale = palette();
    pale.setColor(QPalette::Window, QColor(255, 250, 215));
    setPalette(pale);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 6, 10, 6);
    QFont bold = caption_->font();
    bold.setBold(true);
    caption_->setFont(bold);
    caption_->setAlignment(Qt::AlignCenter);
    bar_->setTextVisible(true);
    layout->addWidget(caption_);
    layout->addWidget(bar_);
    hide();
}

void WriteProgressBanner::mirror() {
    const bool running = form_.CurveWriteRunning() && form_.CurveWriteResult == Form1Korvane::CurveWriteOutcome::Running;
    if (!running) {
        if (isVisible()) hide();
        return;
    }
    const bool english = form_.LanguageIndex == 1;
    const int value = static_cast<int>(form_.ProgressBar7.value);
    QString text;
    int done = 0, steps = 0;
    if (form_.CurveWriteChecking) {
        done = std::clamp(value - kWriteSteps, 0, kCheckedBands);
        steps = kCheckedBands;
        text = english ? QStringLiteral("Reading the curve back to check it: band %1 of %2")
                       : QStringLiteral("Yazılan eğri geri okunup karşılaştırılıyor: bant %1 / %2");
    } else {
        done = std::clamp(value, 0, kWriteSteps);
        steps = kWriteSteps;
        text = english ? QStringLiteral("Writing the curve to the ECU (curve locked): step %1 of %2")
                       : QStringLiteral("Eğri EKÜ'ye yazılıyor (eğri kilitli): adım %1 / %2");
    }
    caption_->setText(text.arg(done).arg(steps));
    bar_->setRange(0, steps);
    bar_->setValue(done);
    QWidget* plot = parentWidget();
    const int width = std::min(520, std::max(200, plot->width() - 40));
    setGeometry((plot->width() - width) / 2, 12, width, sizeHint().height());
    if (!isVisible()) {
        show();
        raise();
    }
}

}  // namespace gasecu::qt
