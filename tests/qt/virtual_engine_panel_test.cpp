#include "window/virtual_engine_panel.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QPushButton>
#include <QSpinBox>

#include "qt/qt_test_app.h"

namespace gasecu {
namespace {

TEST(VirtualEnginePanel, ControlsTurnTheControllersSetters) {
    test::EnsureQtApp();
    sim::VirtualEcu ecu(1);
    VirtualEnginePanel panel(ecu);
    auto* rpm = panel.findChild<QSpinBox*>("rpm");
    auto* pressure = panel.findChild<QDoubleSpinBox*>("pressure");
    auto* reducerWarmUp = panel.findChild<QCheckBox*>("reducerWarmUp");
    auto* reducer = panel.findChild<QDoubleSpinBox*>("reducerTemperature");
    auto* nozzle = panel.findChild<QCheckBox*>("smallNozzle");
    auto* drop = panel.findChild<QCheckBox*>("fault0");
    auto* silent = panel.findChild<QCheckBox*>("silent");
    ASSERT_TRUE(rpm && pressure && reducerWarmUp && reducer && nozzle && drop && silent);

    rpm->setValue(2100);
    EXPECT_EQ(ecu.engine().engineSpeedSetpoint(), 2100);
    pressure->setValue(1.25);
    EXPECT_DOUBLE_EQ(ecu.engine().gasPressureSetpoint(), 1.25);
    EXPECT_FALSE(reducer->isEnabled());  // warming up on its own at first
    reducerWarmUp->setChecked(false);
    reducer->setValue(55);
    EXPECT_DOUBLE_EQ(ecu.reducerTemperature(), 55);
    nozzle->setChecked(true);
    EXPECT_TRUE(ecu.smallNozzle());
    drop->setChecked(true);
    EXPECT_DOUBLE_EQ(ecu.faultRate(sim::ReplyFault::Drop), VirtualEnginePanel::kFaultRate);
    silent->setChecked(true);
    EXPECT_TRUE(ecu.silent());

    // Changes made elsewhere (a test script) show after a refresh, without feeding back.
    ecu.setEngineSpeed(900);
    ecu.setFaultRate(sim::ReplyFault::Drop, 0);
    panel.refresh();
    EXPECT_EQ(rpm->value(), 900);
    EXPECT_FALSE(drop->isChecked());
    EXPECT_DOUBLE_EQ(ecu.reducerTemperature(), 55);
}

TEST(VirtualEnginePanel, OneClickReadiesTheEngineForACalibration) {
    test::EnsureQtApp();
    sim::VirtualEcu ecu(1);
    VirtualEnginePanel panel(ecu);
    auto* ready = panel.findChild<QPushButton*>("readyForCalibration");
    auto* reducerWarmUp = panel.findChild<QCheckBox*>("reducerWarmUp");
    auto* reducer = panel.findChild<QDoubleSpinBox*>("reducerTemperature");
    ASSERT_TRUE(ready && reducerWarmUp && reducer);
    ready->click();
    EXPECT_EQ(ecu.engine().engineSpeedSetpoint(), 2100);
    EXPECT_DOUBLE_EQ(ecu.engine().gasPressureSetpoint(), 1.1);
    EXPECT_FALSE(reducerWarmUp->isChecked());
    EXPECT_TRUE(reducer->isEnabled());
    EXPECT_DOUBLE_EQ(reducer->value(), 70);
    // Held, not warming: an hour later the reducer is still at 70 °C.
    ecu.engine().advanceTo(0);
    ecu.engine().advanceTo(3600000);
    EXPECT_DOUBLE_EQ(ecu.reducerTemperature(), 70);
    EXPECT_DOUBLE_EQ(ecu.gasTemperature(), 35);
}

// Tall beside the window, wide under it on a screen without room beside: the wide
// panel is lower, and every control stays on view in both.
TEST(VirtualEnginePanel, LaysItselfOutTallOrWide) {
    test::EnsureQtApp();
    sim::VirtualEcu ecu(1);
    VirtualEnginePanel panel(ecu);
    const QSize tall = panel.sizeHintFor(Qt::Vertical), wide = panel.sizeHintFor(Qt::Horizontal);
    EXPECT_LT(wide.height(), tall.height());
    EXPECT_GT(wide.width(), tall.width());
    for (Qt::Orientation o : {Qt::Vertical, Qt::Horizontal}) {
        panel.setOrientation(o);
        panel.resize(o == Qt::Vertical ? tall : wide);
        panel.show();
        QCoreApplication::processEvents();
        for (QWidget* child : panel.findChildren<QWidget*>()) {
            if (!child->isVisible()) continue;
            EXPECT_TRUE(panel.rect().contains(QRect(child->mapTo(&panel, QPoint(0, 0)), child->size())))
                << child->objectName().toStdString() << (o == Qt::Vertical ? " tall" : " wide");
        }
    }
}

}  // namespace
}  // namespace gasecu
