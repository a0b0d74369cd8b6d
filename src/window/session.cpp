#include "window/session.h"

#include <QScreen>
#include <QWidget>
#include <algorithm>

#include "history/record_queue.h"
#include "window/history_window.h"
#include "link/remembered_port.h"
#include "window/main_window.h"
#include "runtime/qt_session_loop.h"
#include "runtime/serial_line.h"

#include "window/qt_canvas.h"
#include "window/qt_file_dialogs.h"
#include "window/qt_questions.h"
#include "window/virtual_engine_panel.h"
#include "window/window_placement.h"
#include "virtual_ecu.h"
#include "virtual_port.h"

namespace gasecu::qt {

Session::Session(SessionOptions options) : options_(std::move(options)) {
    loop_ = options_.loop;
    if (!loop_) {
        ownLoop_ = MakeQtSessionLoop();
        loop_ = ownLoop_.get();
    }
    if (options_.simulate) {
        ecu_ = std::make_unique<sim::VirtualEcu>();
        line_ = sim::LineWithEcuOnPort(loop_->scheduler(), *ecu_, std::clamp(options_.simulatedPortNumber, 1, 15));
    } else {
        line_ = MakeSerialLine(options_.portDevices);
    }
    port_ = std::make_unique<ForwardingSerialPort>(*line_);
    dialogs_ = std::make_unique<QtFileDialogs>();
    questions_ = std::make_unique<QtQuestions>();

    FormEnvironment env;
    env.programDirectory = options_.programDirectory;
    env.userDataDirectory = options_.userDataDirectory;
    env.installedDataDirectory = options_.installedDataDirectory;
    env.port = port_.get();
    env.fileDialogs = dialogs_.get();
    env.questions = questions_.get();
    env.decimalSeparator = options_.decimalSeparator;
    env.clock = options_.clock;
    env.portMemory = link::PortMemoryFor(options_.simulate, !options_.portDevices.empty());
    // Restore points in the data directory; the last job label is offered again.
    env.keepHistory = true;
    form_ = std::make_unique<Form1Korvane>(std::move(env));
    window_ = std::make_unique<MainWindow>(*form_, *loop_);
    dialogs_->setParent(window_.get());
    // No record is written and the workshop sync leaves the history alone while a
    // dialog reads the history's folder.
    dialogs_->setWhileShown([form = form_.get(), history = window_->historyControls()](bool shown) {
        if (history) history->pauseHistoryUse(shown);
        if (!form->RestorePointQueue) return;
        if (shown) form->RestorePointQueue->pause();
        else form->RestorePointQueue->resume();
    });
    questions_->setParent(window_.get());
    // The curve plot draws into a picture the window shows after each handler.
    auto canvas = std::make_shared<QtCanvas>();
    form_->EğriPic.canvas = canvas;
    // The picture has the plot's size in pixels, so the grid stays sharp at any
    // window size; after a new size the curves are drawn at once, not 25 ms later.
    window_->setPlotImageSource([canvas]() -> const QImage* { return &canvas->image(); },
                                [canvas] { return canvas->changeCount(); },
                                [canvas, form = form_.get()](QSize pixels) {
                                    canvas->resize(pixels);
                                    form->DrawCurves();
                                });
    // A band past 28 ms of gas time raises the plot's top; the calls keep their units.
    window_->setPlotTopHandler([canvas](double top) { canvas->setTop(top); });
    // The trend picture: a plain dark ground, drawn at the window's size.
    auto trend = std::make_shared<QtCanvas>(
        PlotGeometry{900, 520, ecu::kTrendLeft, ecu::kTrendTop, ecu::kTrendRight, ecu::kTrendBottom},
        [](const PlotGeometry& g) {
            QImage ground(g.widthPx, g.heightPx, QImage::Format_RGB32);
            ground.fill(QColor(28, 34, 34));
            return ground;
        });
    form_->TrendPic.canvas = trend;
    window_->setTrendImageSource([trend]() -> const QImage* { return &trend->image(); },
                                 [trend] { return trend->changeCount(); },
                                 [trend, form = form_.get()](QSize pixels) {
                                     trend->resize(pixels);
                                     if (form->TrendPic.visible) form->DrawTrend();
                                 });
    port_->setAfterEvent([w = window_.get()] { w->mirror(); });
    window_->load();
    if (options_.language) {
        form_->LanguageIndex = *options_.language;
        form_->ApplyLanguageIndex();
        window_->mirror();
    }

    if (ecu_) {
        window_->setSimulated(true);
        if (options_.showEnginePanel) panel_ = std::make_unique<VirtualEnginePanel>(
            *ecu_, nullptr, [form = form_.get()] { return form->LanguageIndex == 1; });
    }
}

// The members go in reverse order (see session.h).
Session::~Session() = default;

const QtTimers* Session::realTimers() const { return ownLoop_ ? ownLoop_->timers() : nullptr; }

void Session::show() {
    QScreen* screen = window_->screen();
    if (!screen) {
        window_->show();
        if (panel_) panel_->show();
        return;
    }
    // What the window system adds around a window is known only once it is shown;
    // until then a title bar and thin borders are assumed.
    const QSize assumedFrame(8, 34);
    VirtualEnginePanel* panel = panel_.get();
    std::optional<PanelSizes> panelSizes;
    if (panel) panelSizes = PanelSizes{panel->sizeHintFor(Qt::Vertical), panel->sizeHintFor(Qt::Horizontal)};
    const WindowPlacement place = PlaceWindows(screen->availableGeometry(), window_->size(),
                                               window_->minimumSizeHint(), assumedFrame, panelSizes);
    window_->resize(place.window.size() - assumedFrame);
    window_->move(place.window.topLeft());
    if (panel && place.panelDocked) {
        // No room beside or under: the panel rides in the window's right side.
        window_->dockPanel(panel, form_->LanguageIndex == 1 ? QStringLiteral("Virtual engine")
                                                            : QStringLiteral("Sanal motor"));
        window_->show();
        return;
    }
    window_->show();
    if (panel) {
        panel->setOrientation(place.panelOrientation);
        panel->resize(place.panel.size() - assumedFrame);
        panel->move(place.panel.topLeft());
        panel->show();
    }
}

}  // namespace gasecu::qt
