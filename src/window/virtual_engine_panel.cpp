#include "window/virtual_engine_panel.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>
#include <vector>

namespace gasecu {
namespace {

// Each line fault's caption, English then Turkish.
std::pair<const char*, const char*> FaultCaption(sim::ReplyFault kind) {
    switch (kind) {
        case sim::ReplyFault::Drop: return {"Drop replies", "Yanıtları at"};
        case sim::ReplyFault::Cut: return {"Cut replies short", "Yanıtları kısa kes"};
        case sim::ReplyFault::Split: return {"Split replies", "Yanıtları böl"};
        case sim::ReplyFault::Merge: return {"Merge two replies", "İki yanıtı birleştir"};
        case sim::ReplyFault::Garbage: return {"Noise bytes", "Parazit baytları"};
        case sim::ReplyFault::Late: return {"Late replies (> 500 ms)", "Geç yanıtlar (> 500 ms)"};
        case sim::ReplyFault::Duplicate: return {"Replies twice", "Yanıtlar iki kez"};
        case sim::ReplyFault::Stray: return {"Stray copies (> 500 ms)", "Başıboş kopyalar (> 500 ms)"};
    }
    return {"", ""};
}

std::pair<const char*, const char*> FuelText(sim::FuelState fuel) {
    switch (fuel) {
        case sim::FuelState::Gas: return {"gas", "gazda"};
        case sim::FuelState::Petrol: return {"petrol", "benzinde"};
        case sim::FuelState::ChangingOver: return {"changing over", "geçişte"};
    }
    return {"", ""};
}

QDoubleSpinBox* MakeSpin(double low, double high, double step, int decimals, const QString& suffix) {
    auto* box = new QDoubleSpinBox;
    box->setRange(low, high);
    box->setSingleStep(step);
    box->setDecimals(decimals);
    box->setSuffix(suffix);
    return box;
}

}  // namespace

VirtualEnginePanel::VirtualEnginePanel(sim::VirtualEcu& ecu, QWidget* parent, std::function<bool()> english)
    : QWidget(parent), ecu_(ecu), english_(std::move(english)) {
    setObjectName("VirtualEnginePanel");

    rpm_ = new QSpinBox;
    rpm_->setObjectName("rpm");
    rpm_->setRange(0, 7000);
    rpm_->setSingleStep(100);
    rpm_->setSuffix(" rpm");
    pressure_ = MakeSpin(0.0, 2.5, 0.05, 2, " bar");
    pressure_->setObjectName("pressure");
    reducerWarmUp_ = new QCheckBox;
    reducerWarmUp_->setObjectName("reducerWarmUp");
    reducerC_ = MakeSpin(-20, 104, 1, 1, " °C");
    reducerC_->setObjectName("reducerTemperature");
    gasWarmUp_ = new QCheckBox;
    gasWarmUp_->setObjectName("gasWarmUp");
    gasC_ = MakeSpin(-20, 104, 1, 1, " °C");
    gasC_->setObjectName("gasTemperature");
    smallNozzle_ = new QCheckBox;
    smallNozzle_->setObjectName("smallNozzle");
    auto* readyForCalibration = new QPushButton;
    readyForCalibration_ = readyForCalibration;
    readyForCalibration->setObjectName("readyForCalibration");

    auto* engine = new QGroupBox;
    engine_ = engine;
    auto* form = new QFormLayout(engine);
    for (QLabel*& caption : rowCaptions_) caption = new QLabel;
    form->addRow(rowCaptions_[0], rpm_);
    form->addRow(rowCaptions_[1], pressure_);
    auto* reducerRow = new QHBoxLayout;
    reducerRow->addWidget(reducerC_);
    reducerRow->addWidget(reducerWarmUp_);
    form->addRow(rowCaptions_[2], reducerRow);
    auto* gasRow = new QHBoxLayout;
    gasRow->addWidget(gasC_);
    gasRow->addWidget(gasWarmUp_);
    form->addRow(rowCaptions_[3], gasRow);
    form->addRow(smallNozzle_);
    form->addRow(readyForCalibration);

    auto* line = new QGroupBox;
    line_ = line;
    faultLayout_ = new QGridLayout(line);
    silent_ = new QCheckBox;
    silent_->setObjectName("silent");
    for (int k = 0; k < sim::kReplyFaultKinds; ++k) {
        auto kind = static_cast<sim::ReplyFault>(k);
        faults_[k] = new QCheckBox;
        faults_[k]->setObjectName(QString("fault%1").arg(k));
        connect(faults_[k], &QCheckBox::toggled, this,
                [this, kind](bool on) { ecu_.setFaultRate(kind, on ? kFaultRate : 0.0); });
    }

    status_ = new QLabel;
    status_->setObjectName("status");
    auto* groups = new QBoxLayout(QBoxLayout::TopToBottom);
    groups->addWidget(engine);
    groups->addWidget(line);
    layout_ = groups;
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(groups);
    layout->addWidget(status_);
    layout->addStretch();
    setOrientation(Qt::Vertical);

    connect(rpm_, &QSpinBox::valueChanged, this, [this](int rpm) { ecu_.setEngineSpeed(rpm); });
    connect(pressure_, &QDoubleSpinBox::valueChanged, this, [this](double bar) { ecu_.setGasPressure(bar); });
    connect(reducerC_, &QDoubleSpinBox::valueChanged, this, [this] { applyTemperature(reducerWarmUp_, reducerC_, true); });
    connect(reducerWarmUp_, &QCheckBox::toggled, this, [this] { applyTemperature(reducerWarmUp_, reducerC_, true); });
    connect(gasC_, &QDoubleSpinBox::valueChanged, this, [this] { applyTemperature(gasWarmUp_, gasC_, false); });
    connect(gasWarmUp_, &QCheckBox::toggled, this, [this] { applyTemperature(gasWarmUp_, gasC_, false); });
    connect(smallNozzle_, &QCheckBox::toggled, this, [this](bool on) { ecu_.setSmallNozzle(on); });
    connect(readyForCalibration, &QPushButton::clicked, this, [this] {
        sim::HoldForCalibration(ecu_);
        // The temperatures are held now, no longer warming up.
        QSignalBlocker b1(reducerWarmUp_), b2(gasWarmUp_);
        reducerWarmUp_->setChecked(false);
        gasWarmUp_->setChecked(false);
        reducerC_->setEnabled(true);
        gasC_->setEnabled(true);
        reducerC_->setValue(ecu_.reducerTemperature());
        gasC_->setValue(ecu_.gasTemperature());
        refresh();
    });
    connect(silent_, &QCheckBox::toggled, this, [this](bool on) { ecu_.setSilent(on); });

    // The controller's values move on their own (warm-up, drift): show them now and then.
    refreshTimer_ = new QTimer(this);
    connect(refreshTimer_, &QTimer::timeout, this, &VirtualEnginePanel::refresh);
    refreshTimer_->start(1000);

    reducerWarmUp_->setChecked(true);
    gasWarmUp_->setChecked(true);
    refresh();
}

void VirtualEnginePanel::applyLanguage(bool english) {
    if (language_ == static_cast<int>(english)) return;
    language_ = static_cast<int>(english);
    auto say = [english](const char* en, const char* tr) { return QString::fromUtf8(english ? en : tr); };
    setWindowTitle(say("Virtual engine", "Sanal motor"));
    engine_->setTitle(say("Engine", "Motor"));
    rowCaptions_[0]->setText(say("Engine speed", "Motor devri"));
    rowCaptions_[1]->setText(say("Gas pressure", "Gaz basıncı"));
    rowCaptions_[2]->setText(say("Reducer", "Regülatör"));
    rowCaptions_[3]->setText(say("Gas", "Gaz"));
    for (QCheckBox* warmUp : {reducerWarmUp_, gasWarmUp_}) warmUp->setText(say("warms up", "ısınıyor"));
    smallNozzle_->setText(say("Injector nozzles too small", "Enjektör memeleri küçük"));
    readyForCalibration_->setText(
        say("Warm engine at 2100 rpm (calibration)", "Sıcak motor 2100 devirde (kalibrasyon)"));
    line_->setTitle(say("Line faults", "Hat arızaları"));
    silent_->setText(say("Adapter unplugged (silence)", "Adaptör çekildi (sessizlik)"));
    for (int k = 0; k < sim::kReplyFaultKinds; ++k) {
        const auto [en, tr] = FaultCaption(static_cast<sim::ReplyFault>(k));
        faults_[k]->setText(say(en, tr));
    }
}

void VirtualEnginePanel::setOrientation(Qt::Orientation orientation) {
    orientation_ = orientation;
    layout_->setDirection(orientation == Qt::Vertical ? QBoxLayout::TopToBottom : QBoxLayout::LeftToRight);
    // The line faults in one column when tall, in two when wide.
    const int columns = orientation == Qt::Vertical ? 1 : 2;
    std::vector<QWidget*> boxes{silent_};
    boxes.insert(boxes.end(), faults_.begin(), faults_.end());
    for (QWidget* box : boxes) faultLayout_->removeWidget(box);
    for (int i = 0; i < static_cast<int>(boxes.size()); ++i) faultLayout_->addWidget(boxes[i], i / columns, i % columns);
    layout()->invalidate();
    layout()->activate();
}

QSize VirtualEnginePanel::sizeHintFor(Qt::Orientation orientation) {
    const Qt::Orientation was = orientation_;
    setOrientation(orientation);
    const QSize hint = sizeHint();
    setOrientation(was);
    return hint;
}

void VirtualEnginePanel::applyTemperature(QCheckBox* warmUp, QDoubleSpinBox* value, bool reducer) {
    value->setEnabled(!warmUp->isChecked());
    std::optional<double> pinned;
    if (!warmUp->isChecked()) pinned = value->value();
    if (reducer)
        ecu_.setReducerTemperature(pinned);
    else
        ecu_.setGasTemperature(pinned);
}

void VirtualEnginePanel::refresh() {
    // Mirror without feeding the values back: a warming reducer must not get pinned.
    {
        QSignalBlocker b1(rpm_), b2(pressure_), b3(reducerC_), b4(gasC_), b5(smallNozzle_), b6(silent_);
        rpm_->setValue(static_cast<int>(ecu_.engine().engineSpeedSetpoint()));
        pressure_->setValue(ecu_.engine().gasPressureSetpoint());
        if (reducerWarmUp_->isChecked()) reducerC_->setValue(ecu_.reducerTemperature());
        if (gasWarmUp_->isChecked()) gasC_->setValue(ecu_.gasTemperature());
        smallNozzle_->setChecked(ecu_.smallNozzle());
        silent_->setChecked(ecu_.silent());
    }
    for (int k = 0; k < sim::kReplyFaultKinds; ++k) {
        QSignalBlocker block(faults_[k]);
        faults_[k]->setChecked(ecu_.faultRate(static_cast<sim::ReplyFault>(k)) > 0);
    }
    const bool english = !english_ || english_();
    applyLanguage(english);
    const auto [fuelEn, fuelTr] = FuelText(ecu_.fuelState());
    status_->setText(QString::fromUtf8(english ? "On %1, petrol %2 ms, gas %3 ms" : "Motor %1, benzin %2 ms, gaz %3 ms")
                         .arg(QString::fromUtf8(english ? fuelEn : fuelTr))
                         .arg(ecu_.lastPetrolTime(), 0, 'f', 2)
                         .arg(ecu_.lastGasTime(), 0, 'f', 2));
}

}  // namespace gasecu
