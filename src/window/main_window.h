#pragma once
// The tool's window: one widget per control of Form1Korvane, the five timers on the
// session's loop, the user's events fed to the form's handlers and, after every
// handler, the controls' properties mirrored onto the widgets.
#include <QImage>
#include <QLabel>
#include <QPointF>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/control_registry.h"
#include "app/session_loop.h"

namespace gasecu::qt {

class ControlWidget;
class MessagesWindow;
class HistoryControls;
class PlotWidget;
class PlotFrame;
class BandLegend;
class PointReadoutLabel;
class DockedPanel;
class WriteProgressBanner;
class CalibrationRunView;

class MainWindow : public QWidget {
    Q_OBJECT
public:
    // The form's timers tick on `loop` (Qt's real timers in the program, the
    // virtual-time runner in tests) until the window goes; the loop outlives it.
    MainWindow(Form1Korvane& form, SessionLoop& loop, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The window's load event: design-time properties, then the form's start-up,
    // then the first mirroring. Call once, before show().
    void load();

    // Copies every control's properties onto its widget (only what changed).
    void mirror();
    // Runs one handler of the form as an event of the window, then mirrors.
    void runHandler(const std::function<void()>& handler);
    void runFormHandler(void (Form1Korvane::*handler)());

    // The widget of a control, by the control's name ("CheckÜ(3)"); null if none.
    QWidget* widgetFor(std::string_view controlName) const;
    // Where the plot EğriPic gets its picture from (the curve drawing's canvas).
    // version tells whether the picture changed since the last look; resized is told
    // the plot's new size in pixels whenever the window's layout changes it.
    void setPlotImageSource(std::function<const QImage*()> source, std::function<std::uint64_t()> version = {},
                            std::function<void(QSize)> resized = {});
    // The same for the trend picture TrendPic, shown in the trend window.
    void setTrendImageSource(std::function<const QImage*()> source, std::function<std::uint64_t()> version,
                             std::function<void(QSize)> resized);
    // The trend window (a window of its own, shown while TrendPic is visible).
    QWidget* trendWindow() const { return trendWindow_; }
    // The session's messages ("Mesajlar"/"Messages", Ctrl+M opens and closes it).
    MessagesWindow* messagesWindow() const { return messages_; }
    void toggleMessages();
    // Told the plot's new top in user units when a band reaches past 28 ms of gas
    // time or comes back under it (the plot's picture follows it).
    void setPlotTopHandler(std::function<void(double)> handler) { plotTopChanged_ = std::move(handler); }
    double plotTop() const { return plotTop_; }
    // The readout of the point under the mouse or marked for editing.
    PointReadoutLabel* pointReadout() const { return readout_; }
    BandLegend* bandLegend() const { return legend_; }
    // Carries a window of the tool's own in the window's right side, behind a
    // handle that opens it: the screen has no room for it beside or under.
    void dockPanel(QWidget* panel, const QString& caption);
    DockedPanel* dockedPanel() const { return docked_; }
    // Opens the trend window beside or under the window, or where it covers no
    // button of it (see PlaceBesideWindow).
    void placeTrendWindow();
    // The same for the messages and history windows: wanted is the size where the
    // screen has room for it. Unlike the trend window, which gives way to the
    // controls, these always open whole on the screen and never below the size
    // their own controls need.
    void placeToolWindow(QWidget* tool, QSize wanted);
    // The part of the shown screen where no control lies, in screen coordinates.
    QRect spareScreenRoom() const;
    // The window talks to the virtual ECU: the title says so, in the fitter's language.
    void setSimulated(bool simulated);
    // The job label field, the history button and the history window.
    HistoryControls* historyControls() const { return history_; }
    WriteProgressBanner* writeProgress() const { return writeProgress_; }
    CalibrationRunView* calibrationView() const { return calibrationView_; }

signals:
    // The exit button was pressed (or the window closed): the program ends.
    void exitRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildWidgets();
    void layOutFixedArea(QWidget* top);
    void layOutCurvePaper();
    void layOutSettings();
    void layOutCalibration();
    void layOutTrendWindow();
    // Ctrl+Z undoes, Ctrl+Shift+Z and Ctrl+Y redo the curve.
    void addUndoShortcuts();
    // The two pictures of one editor switch (released / pressed) in one place.
    QWidget* addPicturePair(const char* released, const char* pressed);
    QWidget* w(std::string_view name) const;
    void afterHandler();
    // exitRequested, once in the window's life whatever asked for it.
    void signalExitOnce();

    Form1Korvane& form_;
    std::vector<ControlEntry> controls_;
    std::vector<std::unique_ptr<ControlWidget>> bindings_;
    std::map<std::string, QWidget*, std::less<>> widgets_;
    SessionLoop& loop_;
    PlotWidget* plot_ = nullptr;
    QWidget* trendWindow_ = nullptr;
    PlotWidget* trendPlot_ = nullptr;
    bool exitSignalled_ = false;
    MessagesWindow* messages_ = nullptr;
    HistoryControls* history_ = nullptr;
    bool simulated_ = false;
    int toolkitLanguage_ = -1;
    WriteProgressBanner* writeProgress_ = nullptr;  // over the plot during a curve write
    CalibrationRunView* calibrationView_ = nullptr;  // the run on the calibration screen  // the language Qt's own texts were last set to
    // The curve screen's plot range and point readout.
    void mirrorCurveReadout();
    // The captions and tooltips of the two rows of point boxes, in the fitter's language.
    void mirrorPointBoxTips();
    // The plot takes the keyboard focus: the arrow keys and undo act on the curve.
    void giveTheCurveTheKeyboard();
    std::optional<bool> pointBoxTipsEnglish_;
    QLabel* rowCaptions_[2] = {};
    PlotFrame* plotFrame_ = nullptr;
    BandLegend* legend_ = nullptr;
    PointReadoutLabel* readout_ = nullptr;
    std::optional<QPointF> hoverPixel_;
    double plotTop_ = 559;
    std::function<void(double)> plotTopChanged_;
    DockedPanel* docked_ = nullptr;
    // The trend window's size where the screen has room for it.
    static constexpr QSize kTrendWindowSize{900, 520};
    static constexpr QSize kMessagesWindowSize{640, 360};
    static constexpr QSize kHistoryWindowSize{1000, 560};
};

// The main window's title ("[*]" marks unsaved curve changes) in English or
// Turkish; a simulated ECU is named in it.
QString MainWindowTitle(bool english, bool simulated);

}  // namespace gasecu::qt
