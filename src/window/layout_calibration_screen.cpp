// The calibration screen's layout (its readings, the start, stop and upload
// buttons, the red marker) and the trend window's.
#include <QGridLayout>
#include <QVBoxLayout>

#include "window/calibration_view.h"
#include "window/curve_widgets.h"
#include "window/main_window.h"

namespace gasecu::qt {

void MainWindow::layOutCalibration() {
    QWidget* screen = w("KalibrasyonPic");
    auto* grid = new QGridLayout(screen);
    grid->setContentsMargins(24, 16, 24, 16);
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(10);

    QFont title = w("Label5")->font();
    title.setBold(true);
    title.setPointSizeF(title.pointSizeF() * 1.5);
    w("Label5")->setFont(title);
    QFont note = w("Label21")->font();
    note.setBold(true);
    w("Label21")->setFont(note);
    QPalette red = w("AyarKırmızıImg")->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    w("AyarKırmızıImg")->setPalette(red);
    w("AyarKırmızıImg")->setFont(title);

    int r = 0;
    grid->addWidget(w("Label5"), r, 0, 1, 2);
    grid->addWidget(w("AyarKırmızıImg"), r++, 2);
    grid->addWidget(w("Label21"), r++, 0, 1, 4);
    // Each reading beside its own caption.
    const char* rows[][2] = {
        {"GP", "ilk"}, {"Pt", "Ani"}, {"LabelFark", "Text1"}, {"Label1", "TextEğim"}, {"LabelSayac", "Sayac"}};
    for (auto& row : rows) {
        grid->addWidget(w(row[0]), r, 0);
        w(row[1])->setMaximumWidth(110);
        grid->addWidget(w(row[1]), r++, 1);
    }
    // Start and stop share a place: one of the two is shown.
    for (const char* name : {"KalibrasyonBaşlatButon", "KalibrasyonDurdurButon", "Kalibrasyonyükleme"})
        w(name)->setMinimumWidth(220);
    grid->addWidget(w("KalibrasyonBaşlatButon"), r, 0, 1, 2);
    grid->addWidget(w("KalibrasyonDurdurButon"), r, 0, 1, 2);
    grid->addWidget(w("Kalibrasyonyükleme"), r++, 2, 1, 2);
    // The run as it goes, right of the readings, from the instruction down.
    calibrationView_ = new CalibrationRunView(form_, screen);
    grid->addWidget(calibrationView_, 1, 4, r, 1);
    grid->setRowStretch(r, 1);
    grid->setColumnStretch(4, 1);
}

void MainWindow::layOutTrendWindow() {
    auto* layout = new QVBoxLayout(trendWindow_);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(trendPlot_);
    // Small enough to lie under the settings on a 1024x768 screen.
    trendPlot_->setMinimumSize(480, 200);
    trendWindow_->resize(kTrendWindowSize);
}

}  // namespace gasecu::qt
