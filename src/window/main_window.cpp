// The window itself: one widget per control built and parented by container, the
// mirroring after every handler, the plot and trend picture sources, and closing.
#include "window/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <array>

#include "curve/point_readout.h"
#include "window/control_widgets.h"
#include "window/calibration_view.h"
#include "window/curve_readout.h"
#include "window/docked_panel.h"
#include "window/curve_widgets.h"
#include "window/event_table.h"
#include "window/messages_window.h"
#include "window/history_window.h"
#include "window/qt_canvas.h"
#include "window/toolkit_language.h"
#include "window/window_placement.h"
#include "window/write_progress.h"

namespace gasecu::qt {

namespace {

// The trend window: closing it by its close box is a click the form hears of, so
// the trend button opens it again.
class TrendWindow : public QWidget {
public:
    TrendWindow(QWidget* owner, std::function<void()> closed)
        : QWidget(owner, Qt::Window), closed_(std::move(closed)) {}

protected:
    void closeEvent(QCloseEvent* event) override {
        event->accept();
        if (closed_) closed_();
    }

private:
    std::function<void()> closed_;
};

}  // namespace

MainWindow::MainWindow(Form1Korvane& form, SessionLoop& loop, QWidget* parent)
    : QWidget(parent), form_(form), loop_(loop) {
    // "[*]": a leading "*" while the curve has unsaved changes.
    setWindowTitle(MainWindowTitle(false, false));
    controls_ = ListControls(form_);
    // Attached before the form's start-up, so the timers it starts are seen.
    loop_.attachTimers(form_, [this] { afterHandler(); });
    buildWidgets();
    form_.onExit = [this] { signalExitOnce(); };
    qApp->installEventFilter(this);
    addUndoShortcuts();
    // The curve has the keyboard from the start: the arrow keys and Ctrl+Z act on
    // it until the fitter clicks into a text box.
    if (plot_) {
        plot_->setFocusPolicy(Qt::ClickFocus);
        plot_->setFocus(Qt::OtherFocusReason);
    }
    resize(1366, 768);
}

MainWindow::~MainWindow() {
    loop_.detachTimers();
    qApp->removeEventFilter(this);
    form_.onExit = nullptr;
}

void MainWindow::load() {
    form_.Form_Load();
    mirror();
}

void MainWindow::mirror() {
    for (auto& b : bindings_) b->mirror();
    if (trendWindow_->isVisible() != form_.TrendPic.visible) {
        if (form_.TrendPic.visible) placeTrendWindow();
        trendWindow_->setVisible(form_.TrendPic.visible);
    }
    const QString trendTitle = QStringLiteral("gasecu - ") + QString::fromStdString(form_.ButonTrend.caption);
    if (trendWindow_->windowTitle() != trendTitle) trendWindow_->setWindowTitle(trendTitle);
    const QString title = MainWindowTitle(form_.LanguageIndex == 1, simulated_);
    if (windowTitle() != title) setWindowTitle(title);
    setWindowModified(form_.CurveUnsaved());
    // Qt's own texts (the file dialogs) in the same language as the tool's.
    if (const int language = form_.LanguageIndex == 1 ? 1 : 0; language != toolkitLanguage_) {
        toolkitLanguage_ = language;
        UseToolkitLanguage(language == 1);
    }
    if (auto* button = qobject_cast<QPushButton*>(w("MesajlarButon"))) {
        const QString caption = form_.LanguageIndex == 1 ? QStringLiteral("Messages") : QStringLiteral("Mesajlar");
        if (button->text() != caption) button->setText(caption);
    }
    if (messages_->isVisible()) messages_->refresh();
    if (history_) history_->mirror();
    mirrorPointBoxTips();
    if (writeProgress_) writeProgress_->mirror();
    if (calibrationView_ && form_.KalibrasyonPic.visible) calibrationView_->mirror();
    mirrorCurveReadout();
}

void MainWindow::mirrorCurveReadout() {
    // The gas-time axis reaches as high as the highest band point: a calibrated
    // curve stays whole on the plot. The drawing's own units do not change.
    const double top = curve::PlotTopFor(form_.CurveTable);
    if (top != plotTop_) {
        plotTop_ = top;
        if (plotFrame_) plotFrame_->setPlotTop(top);
        if (plotTopChanged_) plotTopChanged_(top);
    }
    if (!readout_) return;
    std::optional<curve::PointReadout> point;
    if (hoverPixel_ && plot_ && plot_->width() > 0 && plot_->height() > 0) {
        PlotGeometry g;
        g.widthPx = plot_->width();
        g.heightPx = plot_->height();
        g.top = plotTop_;
        const QPointF at = g.toUser(*hoverPixel_);
        // Within 8 pixels of a dot along each axis, at any window size and range.
        constexpr double kReachPixels = 8;
        point = curve::PointNear(form_.CurveTable, at.x(), at.y(), kReachPixels * (g.right - g.left) / g.widthPx,
                                 kReachPixels * (g.top - g.bottom) / g.heightPx);
    }
    if (!point) {
        std::array<bool, 18> marked{};
        for (std::size_t k = 0; k < marked.size(); ++k) marked[k] = form_.CheckÜ[k].checked() || form_.CheckA[k].checked();
        point = curve::MarkedPoint(form_.CurveTable, form_.BandSelected, marked);
    }
    readout_->showPoint(point, form_.LanguageIndex == 1, form_.env.decimalSeparator);
}

QString MainWindowTitle(bool english, bool simulated) {
    // A fitter must never take the virtual engine's values for a real car's.
    if (simulated) return english ? QStringLiteral("[*]gasecu - simulated ECU") : QStringLiteral("[*]gasecu - sanal EKÜ");
    return english ? QStringLiteral("[*]gasecu - LPG/CNG ECU service tool")
                   : QStringLiteral("[*]gasecu - LPG/CNG EKÜ servis aracı");
}

void MainWindow::dockPanel(QWidget* panel, const QString& caption) {
    if (docked_) return;
    docked_ = new DockedPanel(w("EğriKağıdıPic")->parentWidget(), panel, caption);
}

void MainWindow::placeTrendWindow() {
    QScreen* screen = this->screen();
    if (!screen || !isVisible()) return;
    // The trend window's own frame is not known before it is shown: the main
    // window's stands in for it.
    const QSize frame = frameGeometry().size() - geometry().size();
    const QRect place =
        PlaceBesideWindow(screen->availableGeometry(), frameGeometry(), kTrendWindowSize + frame, spareScreenRoom());
    trendWindow_->resize(place.size() - frame);
    trendWindow_->move(place.topLeft());
}

void MainWindow::placeToolWindow(QWidget* tool, QSize wanted) {
    QScreen* screen = this->screen();
    if (!screen || !isVisible()) return;
    const QSize frame = frameGeometry().size() - geometry().size();
    const QRect available = screen->availableGeometry();
    const QRect place = PlaceBesideWindow(available, frameGeometry(), wanted + frame, spareScreenRoom());
    // The tool never gets less than its controls need, and stays whole on the
    // screen even where that is more than the free room over the window.
    const QSize size = (place.size() - frame).expandedTo(tool->minimumSizeHint()).boundedTo(available.size() - frame);
    tool->resize(size);
    tool->move(KeptOnScreen(available, QRect(place.topLeft(), size + frame)).topLeft());
}

QRect MainWindow::spareScreenRoom() const {
    if (form_.EğriKağıdıPic.visible) {
        // The curve screen: the plot under the select-all button and left of the
        // arrow cross.
        const QPoint plotAt = plot_->mapToGlobal(QPoint(0, 0));
        const int top = w("hepsi")->mapToGlobal(QPoint(0, w("hepsi")->height())).y() + 4;
        const int right = w("sol")->mapToGlobal(QPoint(0, 0)).x() - 4;
        return QRect(QPoint(plotAt.x(), top), QPoint(right, plotAt.y() + plot_->height() - 1));
    }
    // The settings and calibration screens: right of or under what the screen
    // shows, whichever is larger.
    QWidget* screen = w(form_.KalibrasyonPic.visible ? "KalibrasyonPic" : "SettingsSettingsPic");
    QRect used;
    for (QWidget* child : screen->findChildren<QWidget*>()) {
        // The calibration run's view is pictures only: a window may lie over it.
        const bool picture = calibrationView_ && (child == calibrationView_ || calibrationView_->isAncestorOf(child));
        if (child->isVisible() && !picture) used |= QRect(child->mapTo(screen, QPoint(0, 0)), child->size());
    }
    constexpr int kGap = 8;
    const QRect whole = screen->rect();
    const QRect right(QPoint(used.right() + kGap, whole.top()), whole.bottomRight());
    const QRect below(QPoint(whole.left(), used.bottom() + kGap), whole.bottomRight());
    auto area = [](const QRect& r) { return r.isValid() ? r.width() * r.height() : 0; };
    const QRect room = area(right) >= area(below) ? right : below;
    return QRect(screen->mapToGlobal(room.topLeft()), room.size());
}

void MainWindow::setSimulated(bool simulated) {
    simulated_ = simulated;
    mirror();
}

void MainWindow::toggleMessages() {
    if (messages_->isVisible()) {
        messages_->hide();
        return;
    }
    messages_->refresh();
    placeToolWindow(messages_, kMessagesWindowSize);
    messages_->show();
    messages_->raise();
}

void MainWindow::runHandler(const std::function<void()>& handler) {
    handler();
    afterHandler();
}

void MainWindow::runFormHandler(void (Form1Korvane::*handler)()) {
    (form_.*handler)();
    afterHandler();
}

void MainWindow::afterHandler() {
    if (form_.ExitRequested) signalExitOnce();
    mirror();
}

void MainWindow::signalExitOnce() {
    if (exitSignalled_) return;
    exitSignalled_ = true;
    emit exitRequested();
}

QWidget* MainWindow::widgetFor(std::string_view name) const {
    auto it = widgets_.find(name);
    return it == widgets_.end() ? nullptr : it->second;
}

QWidget* MainWindow::w(std::string_view name) const {
    QWidget* widget = widgetFor(name);
    Q_ASSERT(widget);
    return widget;
}

void MainWindow::setPlotImageSource(std::function<const QImage*()> source, std::function<std::uint64_t()> version,
                                    std::function<void(QSize)> resized) {
    if (!plot_) return;
    plot_->setImageSource(std::move(source), std::move(version));
    if (resized) {
        resized(plot_->size());
        plot_->setResizeHandler(std::move(resized));
    }
}

void MainWindow::setTrendImageSource(std::function<const QImage*()> source, std::function<std::uint64_t()> version,
                                     std::function<void(QSize)> resized) {
    if (!trendPlot_) return;
    trendPlot_->setImageSource(std::move(source), std::move(version));
    if (resized) {
        resized(trendPlot_->size());
        trendPlot_->setResizeHandler(std::move(resized));
    }
}

void MainWindow::buildWidgets() {
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(6, 6, 6, 6);
    outer->setSpacing(6);
    auto* top = new QWidget(this);
    auto* work = new QWidget(this);
    outer->addWidget(top);
    outer->addWidget(work, 1);
    trendWindow_ = new TrendWindow(this, [this] { runFormHandler(&Form1Korvane::TrendPic_Close); });

    for (const ControlEntry& entry : controls_) {
        QWidget* parent = top;
        if (entry.container == Container::Trend) parent = trendWindow_;
        else if (entry.container != Container::Fixed) parent = widgets_.at(ContainerControlName(entry.container));
        else if (entry.kind() == ControlKind::PictureBox && entry.name != "BenzinPic" && entry.name != "LPGPic")
            parent = work;  // the three screens fill the work area

        ControlHandlers h = HandlersFor(entry.name);
        Form1Korvane* form = &form_;
        auto call = [this](FormHandler handler) -> std::function<void()> {
            if (!handler) return {};
            return [this, handler] { runFormHandler(handler); };
        };
        WidgetEvents ev;
        ev.click = call(h.click);
        ev.mouseDown = call(h.mouseDown);
        ev.mouseUp = call(h.mouseUp);
        ev.english = [form] { return form->LanguageIndex == 1; };
        if (auto* box = std::get_if<CheckBoxControl*>(&entry.control)) {
            CheckBoxControl* c = *box;  // setValue runs the box's click rule
            ev.check = [this, c](bool on) { runHandler([c, on] { c->setValue(on ? 1 : 0); }); };
        }
        if (auto* list = std::get_if<ComboBoxControl*>(&entry.control)) {
            ComboBoxControl* c = *list;
            FormHandler handler = h.listClick;
            ev.select = [this, form, c, handler](int index) {
                runHandler([form, c, handler, index] {
                    c->selectedIndex = index;
                    if (handler) (form->*handler)();
                });
            };
        }
        if (auto* text = std::get_if<TextBoxControl*>(&entry.control); text && h.editable) {
            TextBoxControl* c = *text;
            ev.edited = [c](const std::string& t) { c->text = t; };
            if (FormKeyHandler key = h.keyPress)
                ev.keyPress = [this, form, key](int code) { runHandler([form, key, code] { (form->*key)(code); }); };
        }
        auto binding = MakeControlWidget(entry, parent, ev);
        widgets_[entry.name] = binding->widget();
        if (entry.name == "EğriPic") plot_ = static_cast<PlotWidget*>(binding->widget());
        if (entry.name == "TrendPic") trendPlot_ = static_cast<PlotWidget*>(binding->widget());
        bindings_.push_back(std::move(binding));
    }

    // The three screens share the work area; the one shown is on view.
    auto* workLayout = new QGridLayout(work);
    workLayout->setContentsMargins(0, 0, 0, 0);
    for (const char* screen : {"KalibrasyonPic", "SettingsSettingsPic", "EğriKağıdıPic"})
        workLayout->addWidget(w(screen), 0, 0);

    layOutFixedArea(top);
    layOutCurvePaper();
    layOutSettings();
    layOutCalibration();
    layOutTrendWindow();
    if (plot_) writeProgress_ = new WriteProgressBanner(form_, plot_);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // Closing the window ends the program like the exit button, but while the ECU
    // is connected only after the fitter said Yes: a slip of the mouse on the
    // close box must not cut off a running exchange.
    if (!form_.MayCloseWindow()) {
        event->ignore();
        return;
    }
    // Asked already: the exit button's own question must not come a second time.
    if (!form_.ExitRequested) runHandler([this] { form_.EndProgram(); });
    signalExitOnce();
    event->accept();
}

}  // namespace gasecu::qt
