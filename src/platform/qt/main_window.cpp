#include "platform/qt/main_window.h"

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTextEdit>
#include <QVBoxLayout>

#include "platform/qt/control_widgets.h"
#include "platform/qt/curve_widgets.h"
#include "platform/qt/event_table.h"
#include "platform/qt/qt_canvas.h"
#include "platform/qt/qt_timers.h"

namespace gasecu::qt {

namespace {

std::optional<ArrowKey> ArrowOf(int key) {
    switch (key) {
        case Qt::Key_Up: return ArrowKey::Up;
        case Qt::Key_Down: return ArrowKey::Down;
        case Qt::Key_Left: return ArrowKey::Left;
        case Qt::Key_Right: return ArrowKey::Right;
        default: return std::nullopt;
    }
}

// Two pictures at one place of which one is visible (released / pressed): the
// mouse goes to this overlay so that the release reaches the picture that was
// pressed even though the press swapped the pictures, as a held picture must.
class PicturePairOverlay : public QWidget {
public:
    PicturePairOverlay(QWidget* parent, const ImageControl& released, std::string releasedName,
                       std::string pressedName, MainWindow& window)
        : QWidget(parent), released_(released), releasedName_(std::move(releasedName)),
          pressedName_(std::move(pressedName)), window_(window) {
        setCursor(Qt::PointingHandCursor);
    }

protected:
    void mousePressEvent(QMouseEvent* e) override {
        if (e->button() != Qt::LeftButton) return;
        target_ = released_.visible ? releasedName_ : pressedName_;
        call(HandlersFor(target_).mouseDown);
    }
    void mouseReleaseEvent(QMouseEvent* e) override {
        if (e->button() != Qt::LeftButton || target_.empty()) return;
        std::string target = std::exchange(target_, {});
        ControlHandlers h = HandlersFor(target);
        call(h.mouseUp);
        if (rect().contains(e->position().toPoint())) call(h.click);
    }

private:
    void call(FormHandler handler) {
        if (handler) window_.runFormHandler(handler);
    }

    const ImageControl& released_;
    std::string releasedName_, pressedName_;
    MainWindow& window_;
    std::string target_;
};

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

MainWindow::MainWindow(Form1Korvane& form, QWidget* parent) : QWidget(parent), form_(form) {
    // "[*]": a leading "*" while the curve has unsaved changes.
    setWindowTitle(QStringLiteral("[*]gasecu"));
    controls_ = ListControls(form_);
    timers_ = std::make_unique<QtTimers>([this] { afterHandler(); });
    timers_->attachFormTimers(form_);
    buildWidgets();
    form_.onExit = [this] { signalExitOnce(); };
    qApp->installEventFilter(this);
    addUndoShortcuts();
    resize(1366, 768);
}

MainWindow::~MainWindow() {
    qApp->removeEventFilter(this);
    form_.onExit = nullptr;
}

void MainWindow::load() {
    form_.Form_Load();
    mirror();
}

void MainWindow::mirror() {
    for (auto& b : bindings_) b->mirror();
    if (trendWindow_->isVisible() != form_.TrendPic.visible) trendWindow_->setVisible(form_.TrendPic.visible);
    const QString trendTitle = QStringLiteral("gasecu - ") + QString::fromStdString(form_.ButonTrend.caption);
    if (trendWindow_->windowTitle() != trendTitle) trendWindow_->setWindowTitle(trendTitle);
    setWindowModified(form_.CurveUnsaved());
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
        auto binding = MakeControlWidget(entry, parent, std::move(ev));
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
}

void MainWindow::layOutFixedArea(QWidget* top) {
    // Hidden controls keep their place: the read/write buttons and the progress
    // bars come and go, and the fitter's eye should not have to follow a jumping row.
    for (const ControlEntry& e : controls_) {
        if (e.container != Container::Fixed) continue;
        QWidget* widget = w(e.name);
        if (widget->parentWidget() != top) continue;
        QSizePolicy p = widget->sizePolicy();
        p.setRetainSizeWhenHidden(true);
        widget->setSizePolicy(p);
    }

    auto* rows = new QVBoxLayout(top);
    rows->setContentsMargins(0, 0, 0, 0);
    rows->setSpacing(4);

    // Screen buttons, status line, language, connect and exit.
    auto* rowA = new QHBoxLayout;
    for (const char* name : {"ButonEğri", "ButonSetup", "ButonAyar"}) {
        w(name)->setMinimumWidth(110);
        rowA->addWidget(w(name));
    }
    rowA->addSpacing(12);
    QFont statusFont = w("KomutSatırı")->font();
    statusFont.setBold(true);
    w("KomutSatırı")->setFont(statusFont);
    rowA->addWidget(w("KomutSatırı"), 1);
    // Lit while the ECU is silent: beside the status line, where the eye already is.
    QFont lampFont = w("LinkLamp")->font();
    lampFont.setBold(true);
    w("LinkLamp")->setFont(lampFont);
    rowA->addWidget(w("LinkLamp"));
    w("Dilsec")->setMinimumWidth(80);
    rowA->addWidget(w("Dilsec"));
    w("ComOpenButon")->setMinimumWidth(130);
    rowA->addWidget(w("ComOpenButon"));
    // The exit button ends the program at once: it never takes the keyboard focus,
    // so no Space or Enter meant for another control can press it.
    w("ExitButon")->setFocusPolicy(Qt::NoFocus);
    rowA->addWidget(w("ExitButon"));
    rows->addLayout(rowA);

    // Live values: caption, text box with its label, bar.
    auto* rowB = new QHBoxLayout;
    auto* live = new QGridLayout;
    live->setHorizontalSpacing(10);
    live->setVerticalSpacing(2);
    struct Value {
        const char* caption;
        const char* degree;
        const char* box;
        const char* label;
        const char* bar;
    };
    const Value values[] = {
        {"LabelDevir", nullptr, "TextMotorDevirHızı", "Label7(0)", "ProgressBar1(0)"},
        {"LabelBar", nullptr, "TextBasinc", "Label8(0)", "ProgressBar2(0)"},
        {"LabelRegulator", "Label26", "TextReduTemperature", "Label9(0)", "ProgressBar3(0)"},
        {"LabelEnjektor", "Label27", "TextGasTemperature", "Label10(0)", "ProgressBar4(0)"},
        {"LabelGms", nullptr, "TextGasMS", "Label11(0)", "ProgressBar5(0)"},
        {"LabelPms", nullptr, "TextBenzinMS", "Label12(0)", "ProgressBar6(0)"},
    };
    int col = 0;
    for (const Value& v : values) {
        auto* caption = new QHBoxLayout;
        caption->setSpacing(1);
        caption->addWidget(w(v.caption));
        if (v.degree) caption->addWidget(w(v.degree));
        caption->addStretch(1);
        live->addLayout(caption, 0, col);
        auto* value = new QHBoxLayout;
        w(v.box)->setMaximumWidth(90);
        value->addWidget(w(v.box));
        w(v.label)->setMinimumWidth(48);
        value->addWidget(w(v.label));
        live->addLayout(value, 1, col);
        w(v.bar)->setMaximumHeight(12);
        live->addWidget(w(v.bar), 2, col);
        live->setColumnStretch(col, 1);
        ++col;
    }
    rowB->addLayout(live, 1);
    rowB->addSpacing(12);

    // Fuel display: what the engine runs on, and the switch picture.
    auto* fuel = new QGridLayout;
    for (const char* name : {"ImgBenzin", "ImgGaz", "ImgGazGeçiş"}) {
        w(name)->setMinimumWidth(110);
        fuel->addWidget(w(name), 0, 0);
    }
    for (const char* name : {"BenzinPic", "LPGPic"}) {
        w(name)->setMinimumSize(110, 28);
        fuel->addWidget(w(name), 1, 0);
    }
    rowB->addLayout(fuel);
    rowB->addSpacing(12);

    // Gas type: LPG or CNG, a coloured button with its label.
    auto* gas = new QGridLayout;
    gas->setVerticalSpacing(2);
    for (const char* name : {"LPG", "CNG"}) w(name)->setFixedSize(22, 22);
    gas->addWidget(w("LPG"), 0, 0);
    gas->addWidget(w("Label3"), 0, 1);
    gas->addWidget(w("CNG"), 1, 0);
    gas->addWidget(w("Label4"), 1, 1);
    rowB->addLayout(gas);
    rowB->addSpacing(12);

    // The data log and the trend window, one above the other: on every screen.
    auto* record = new QVBoxLayout;
    record->setSpacing(2);
    for (const char* name : {"ButonKayıt", "ButonTrend"}) record->addWidget(w(name));
    rowB->addLayout(record);
    rows->addLayout(rowB);

    // Curve files and ECU transfer, and the progress of the long exchanges.
    auto* rowC = new QHBoxLayout;
    for (const char* name : {"ButonDisktenOku", "ButonDiskeYaz", "ButonEcuOku", "ButonEcuYaz"}) {
        w(name)->setMinimumWidth(110);
        rowC->addWidget(w(name));
    }
    rowC->addSpacing(12);
    for (const char* name : {"ProgressBar7", "ProgressBar8", "ProgressBar9", "ProgressBar10", "ProgressBar11"}) {
        w(name)->setMaximumHeight(14);
        rowC->addWidget(w(name), 1);
    }
    rows->addLayout(rowC);
}

void MainWindow::layOutCurvePaper() {
    QWidget* paper = w("EğriKağıdıPic");
    auto* grid = new QGridLayout(paper);
    grid->setContentsMargins(8, 0, 8, 8);
    grid->setHorizontalSpacing(8);

    // Band buttons, the idle button, the idle and tilt pictures down the left margin.
    auto* left = new QVBoxLayout;
    left->setSpacing(4);
    left->addSpacing(PlotFrame::kBoxRowsHeight);
    for (const char* name : {"devir1000", "devir2000", "devir3000", "devir4000", "devir5000", "devir6000"}) {
        w(name)->setFixedWidth(92);
        left->addWidget(w(name));
    }
    left->addSpacing(8);
    for (const char* name : {"devir123456", "Rolanti"}) {
        w(name)->setFixedWidth(92);
        left->addWidget(w(name));
    }
    left->addSpacing(12);
    left->addWidget(addPicturePair("Rolantiyukarıdisabel", "Rolantiyukarıenabel"));
    left->addWidget(addPicturePair("Rolantiaşagıdisabel", "Rolantiaşagıenabel"));
    left->addSpacing(12);
    left->addWidget(addPicturePair("imgeğmedisabled", "imgeğmeenabled"));
    // Undo, redo and the ECU's curve for comparison, under the editing tools.
    left->addSpacing(12);
    for (const char* name : {"ButonGeriAl", "ButonYinele", "CheckEkuEğrisi"}) {
        w(name)->setFixedWidth(92);
        left->addWidget(w(name));
    }
    left->addStretch(1);
    grid->addLayout(left, 0, 0);

    // The plot with its point boxes and axis labels takes all the room left over.
    auto* frame = new PlotFrame(paper, plot_);
    // The two rows of point boxes above the plot, each box over its point's grid
    // line; the range boxes (index 18) lead each row, one column left of point 1.
    for (int k = 0; k <= 18; ++k) {
        const int column = k < 18 ? k + 1 : 0;
        frame->addPointBox(w("CheckÜ(" + std::to_string(k) + ")"), 0, column);
        frame->addPointBox(w("CheckA(" + std::to_string(k) + ")"), 1, column);
    }
    // The arrow cross and the select-all button on the plot, where the curves do
    // not run: bottom right (high petrol time, low gas time) and top left.
    w("hepsi")->resize(64, 28);
    frame->addOnPlot(w("hepsi"), Qt::TopLeftCorner, QPoint(8, 8));
    for (const char* name : {"AA", "sol", "sag", "YY"}) w(name)->resize(36, 36);
    frame->addOnPlot(w("AA"), Qt::BottomRightCorner, QPoint(-88, -144));
    frame->addOnPlot(w("sol"), Qt::BottomRightCorner, QPoint(-128, -104));
    frame->addOnPlot(w("sag"), Qt::BottomRightCorner, QPoint(-48, -104));
    frame->addOnPlot(w("YY"), Qt::BottomRightCorner, QPoint(-88, -64));
    grid->addWidget(frame, 0, 1);
    grid->setColumnStretch(1, 1);

    // Element 1 of the live values, to the right of the plot.
    auto* right = new QVBoxLayout;
    right->setSpacing(2);
    right->addSpacing(PlotFrame::kBoxRowsHeight);
    const char* rows[][3] = {{"Label15", "Label7(1)", "ProgressBar1(1)"},  {"Label18", "Label8(1)", "ProgressBar2(1)"},
                             {"Label19", "Label9(1)", "ProgressBar3(1)"},  {"Label20", "Label10(1)", "ProgressBar4(1)"},
                             {"Label22", "Label11(1)", "ProgressBar5(1)"}, {"Label23", "Label12(1)", "ProgressBar6(1)"}};
    for (auto& row : rows) {
        auto* line = new QHBoxLayout;
        w(row[0])->setFixedWidth(56);
        line->addWidget(w(row[0]));
        w(row[1])->setMinimumWidth(70);
        line->addWidget(w(row[1]), 1);
        right->addLayout(line);
        w(row[2])->setFixedSize(160, 12);
        right->addWidget(w(row[2]));
        right->addSpacing(10);
    }
    right->addStretch(1);
    grid->addLayout(right, 0, 2);
}

void MainWindow::addUndoShortcuts() {
    // The keys act as the buttons do, and only when the button could be pressed:
    // on the curve screen, with something to undo or redo, no exchange running.
    // A text box keeps Ctrl+Z for its own text.
    auto press = [this](const char* button) {
        return [this, button] {
            auto* b = qobject_cast<QPushButton*>(w(button));
            if (b && b->isVisible() && b->isEnabled()) b->click();
        };
    };
    const std::pair<QKeySequence, const char*> keys[] = {
        {QKeySequence(Qt::CTRL | Qt::Key_Z), "ButonGeriAl"},
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), "ButonYinele"},
        {QKeySequence(Qt::CTRL | Qt::Key_Y), "ButonYinele"},
    };
    for (const auto& [key, button] : keys) {
        auto* shortcut = new QShortcut(key, this);
        connect(shortcut, &QShortcut::activated, this, press(button));
    }
}

QWidget* MainWindow::addPicturePair(const char* released, const char* pressed) {
    // Both pictures and the overlay that takes the mouse share one place.
    QWidget* paper = w("EğriKağıdıPic");
    auto* place = new QWidget(paper);
    place->setFixedSize(92, 26);
    auto* cell = new QGridLayout(place);
    cell->setContentsMargins(0, 0, 0, 0);
    const ImageControl* control = std::get<ImageControl*>(FindControl(controls_, released)->control);
    auto* overlay = new PicturePairOverlay(place, *control, released, pressed, *this);
    for (QWidget* widget : {w(released), w(pressed), static_cast<QWidget*>(overlay)}) {
        widget->setParent(place);
        cell->addWidget(widget, 0, 0);
    }
    overlay->raise();
    return place;
}

void MainWindow::layOutSettings() {
    QWidget* screen = w("SettingsSettingsPic");
    auto* grid = new QGridLayout(screen);
    grid->setContentsMargins(24, 16, 24, 16);
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(8);

    QFont title = w("Label6")->font();
    title.setBold(true);
    title.setPointSizeF(title.pointSizeF() * 1.3);
    for (const char* name : {"Label6", "Label13", "Label16"}) {
        QFont f = title;
        if (std::string_view(name) != "Label6") f.setPointSizeF(w(name)->font().pointSizeF() * 1.1);
        w(name)->setFont(f);
    }

    // Left: the settings entries.
    int r = 0;
    grid->addWidget(w("Label6"), r++, 0, 1, 4);
    grid->addWidget(w("GeneralSettingsLabelCoil"), r, 0);
    grid->addWidget(w("Coil"), r++, 1);
    grid->addWidget(w("GeneralSettingsLabel1"), r, 0);
    grid->addWidget(w("avas"), r, 1);
    grid->addWidget(w("msavvv"), r++, 2);
    grid->addWidget(w("Label13"), r++, 0, 1, 4);
    // One setting a row: its caption, its box and its unit.
    auto entryRow = [&](const char* caption, const char* box, const char* unit) {
        grid->addWidget(w(caption), r, 0);
        grid->addWidget(w(box), r, 1);
        grid->addWidget(w(unit), r++, 2);
    };
    entryRow("SetPLabelRPM", "SetPTransRPMTextBox", "Label24");
    entryRow("SetPLabelRedTransitionTemp", "SetPTransRedTempTextBox", "Label25");
    grid->addWidget(w("Label16"), r++, 0, 1, 4);
    entryRow("SetLabelPXXPressureTextBox", "SetPXXPressureTextBox", "Label14");
    entryRow("SetLabelPXXPressLeakageTextBox", "SetPXXPressLeakageTextBox", "Label17");
    for (const char* name : {"Coil", "avas", "msavvv", "SetPTransRPMTextBox", "SetPTransRedTempTextBox",
                             "SetPXXPressureTextBox", "SetPXXPressLeakageTextBox"})
        w(name)->setMaximumWidth(110);

    // Right: the fault records.
    int f = 1;
    const char* faults[][3] = {{"Label45", "TroublesGasValveRelayTextBox", nullptr},
                               {"Label46", "TroublesInjMainRelayTextBox", "Label47"},
                               {"Label48", "TroublesPresslowTextBox", "Label49"},
                               {"Label50", "TroublesCRCErrTextBox", nullptr}};
    for (auto& row : faults) {
        grid->addWidget(w(row[0]), f, 5);
        w(row[1])->setMaximumWidth(70);
        grid->addWidget(w(row[1]), f, 6);
        if (row[2]) grid->addWidget(w(row[2]), f, 7);
        ++f;
    }
    grid->setColumnMinimumWidth(4, 60);

    // The buttons under both columns, and the page-read progress.
    auto* buttons = new QHBoxLayout;
    for (const char* name : {"ButonGenel", "ButonTroubles", "ButonErrorClear", "ButonLoadFabricSettings"}) {
        w(name)->setMinimumWidth(150);
        buttons->addWidget(w(name));
    }
    buttons->addStretch(1);
    grid->addLayout(buttons, r++, 0, 1, 8);
    grid->addWidget(w("ProgressBar12"), r++, 0, 1, 8);
    grid->setRowStretch(r, 1);
    grid->setColumnStretch(3, 1);
    grid->setColumnStretch(8, 1);
}

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
    grid->setRowStretch(r, 1);
    grid->setColumnStretch(4, 1);
}

void MainWindow::layOutTrendWindow() {
    auto* layout = new QVBoxLayout(trendWindow_);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(trendPlot_);
    trendPlot_->setMinimumSize(480, 320);
    trendWindow_->resize(900, 520);
}

namespace {
// Text boxes, lists and their pop-ups use the arrow keys for themselves.
bool TakesArrowKeysItself(const QWidget* widget) {
    for (const QWidget* w = widget; w; w = w->parentWidget()) {
        if (qobject_cast<const QLineEdit*>(w) || qobject_cast<const QComboBox*>(w) ||
            qobject_cast<const QAbstractItemView*>(w) || qobject_cast<const QAbstractSpinBox*>(w) ||
            qobject_cast<const QTextEdit*>(w) || qobject_cast<const QPlainTextEdit*>(w))
            return true;
        if (w->isWindow()) break;
    }
    return false;
}
}  // namespace

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    // The arrow keys edit the curve, but only while this window is the one the
    // fitter works in: keys typed into another program must never move a point.
    if ((event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) && isActiveWindow()) {
        auto* key = static_cast<QKeyEvent*>(event);
        auto* target = qobject_cast<QWidget*>(watched);
        if (auto arrow = ArrowOf(key->key()); arrow && !key->isAutoRepeat() && target && target->window() == this) {
            // A release always counts, so no key stays held. A press drives the
            // curve only while the curve screen is on view and the key is not
            // meant for a box or a list: Down in the language list changes the
            // language, Left in the coil box moves its cursor, and neither may
            // move a point.
            // A key the focused control does not use (Left and Right in a combo
            // box) goes on to its parents, and the filter sees it there again:
            // the control it came from decides, not the parent it reached.
            const QWidget* focused = QApplication::focusWidget();
            const QWidget* from = focused && target->isAncestorOf(focused) ? focused : target;
            if (event->type() == QEvent::KeyRelease) form_.ArrowKeys.keyUp(*arrow);
            else if (form_.EğriKağıdıPic.visible && !TakesArrowKeysItself(from))
                form_.ArrowKeys.keyDown(*arrow);
        }
    }
    return QWidget::eventFilter(watched, event);
}

void MainWindow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && !isActiveWindow()) form_.ArrowKeys.focusLost();
    QWidget::changeEvent(event);
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
