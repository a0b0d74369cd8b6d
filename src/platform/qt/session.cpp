#include "platform/qt/session.h"

#include <QSerialPortInfo>
#include <algorithm>
#include <QWidget>

#include "platform/qt/main_window.h"
#include "platform/qt/qt_scheduler.h"
#include "platform/qt/qt_serial_port.h"
#include "platform/qt/qt_yes_no_question.h"

#include "platform/qt/qt_canvas.h"
#include "platform/qt/virtual_engine_panel.h"
#include "virtual_ecu.h"
#include "virtual_port.h"

namespace gasecu::qt {

bool SerialDevicesPresent() { return !QSerialPortInfo::availablePorts().isEmpty(); }

Session::Session(SessionOptions options) : options_(std::move(options)) {
    scheduler_ = std::make_unique<QtScheduler>();
    if (options_.simulate) {
        ecu_ = std::make_unique<sim::VirtualEcu>();
        line_ = sim::LineWithEcuOnPort(*scheduler_, *ecu_, std::clamp(options_.simulatedPortNumber, 1, 15));
    } else {
        line_ = std::make_unique<QtSerialPort>(options_.portDevices);
    }
    port_ = std::make_unique<ForwardingSerialPort>(*line_);

    FormEnvironment env;
    env.programDirectory = options_.programDirectory;
    env.userDataDirectory = options_.userDataDirectory;
    env.port = port_.get();
    env.decimalSeparator = options_.decimalSeparator;
    form_ = std::make_unique<Form1Korvane>(std::move(env));
    window_ = std::make_unique<MainWindow>(*form_);
    questions_ = std::make_unique<QtYesNoQuestion>(window_.get());
    form_->env.questions = questions_.get();
    // The curve plot draws into a picture the window shows after each handler.
    auto canvas = std::make_shared<QtCanvas>();
    form_->EğriPic.canvas = canvas;
    window_->setPlotImageSource([canvas]() -> const QImage* { return &canvas->image(); },
                                [canvas] { return canvas->changeCount(); });
    port_->setAfterEvent([w = window_.get()] { w->mirror(); });
    window_->load();

    if (ecu_) {
        // A fitter must never take the virtual engine's values for a real car's.
        window_->setWindowTitle(QStringLiteral("gasecu - sanal EKÜ / simulated ECU"));
        if (options_.showEnginePanel) panel_ = std::make_unique<VirtualEnginePanel>(*ecu_);
    }
}

// The members go in reverse order (see session.h).
Session::~Session() = default;

void Session::show() {
    window_->show();
    if (panel_) {
        panel_->move(window_->geometry().right() - panel_->width(), window_->geometry().top() + 60);
        panel_->show();
    }
}

}  // namespace gasecu::qt
