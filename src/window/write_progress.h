#pragma once
// The progress of a curve write, over the top of the curve plot: the curve stays
// on view (locked against edits) while its blocks go out, then while the ECU's copy
// is read back and compared, each phase named with how far it has come.
#include <QFrame>

class QLabel;
class QProgressBar;

namespace gasecu {
class Form1Korvane;
}

namespace gasecu::qt {

class WriteProgressBanner : public QFrame {
public:
    // Lies over `plot`, at its top.
    WriteProgressBanner(const Form1Korvane& form, QWidget* plot);
    // Shown while a curve write or its check runs, with the phase and the step.
    void mirror();

    QLabel* caption() const { return caption_; }
    QProgressBar* bar() const { return bar_; }

private:
    const Form1Korvane& form_;
    QLabel* caption_;
    QProgressBar* bar_;
};

}  // namespace gasecu::qt
