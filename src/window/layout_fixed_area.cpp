// The window's fixed area, above the screens and the same on all three: the screen
// buttons and the status line, the live values with their bars, the fuel display,
// the gas type, the data log and trend buttons with the job label and history button,
// the curve file and ECU transfer buttons with the progress bars of the long
// exchanges.
#include <QGridLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "window/history_window.h"
#include "window/main_window.h"
#include "window/messages_window.h"

namespace gasecu::qt {

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

    // Screen buttons, language, connect, the link indicator, disconnect and exit.
    auto* rowA = new QHBoxLayout;
    for (const char* name : {"ButonEğri", "ButonSetup", "ButonAyar"}) {
        w(name)->setMinimumWidth(110);
        rowA->addWidget(w(name));
    }
    rowA->addSpacing(12);
    w("Dilsec")->setMinimumWidth(80);
    rowA->addWidget(w("Dilsec"));
    // The link indicator, always shown, between the connect and the disconnect
    // buttons: the port, the state, the age of the last reply. A long device path
    // gives way (the whole caption is the tooltip) rather than push the buttons
    // off a small screen.
    QWidget* lamp = w("LinkLamp");
    QFont lampFont = lamp->font();
    lampFont.setBold(true);
    lamp->setFont(lampFont);
    lamp->setMinimumWidth(150);
    lamp->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    w("ComOpenButon")->setMinimumWidth(110);
    rowA->addWidget(w("ComOpenButon"));
    lamp->setMaximumWidth(380);  // a lamp, not a banner, on a wide screen
    rowA->addWidget(lamp, 10);
    rowA->addWidget(w("ButonBağlantıKes"));
    rowA->addStretch(1);
    // The exit button ends the program at once: it never takes the keyboard focus,
    // so no Space or Enter meant for another control can press it.
    w("ExitButon")->setFocusPolicy(Qt::NoFocus);
    rowA->addWidget(w("ExitButon"));
    rows->addLayout(rowA);

    // The status line gets a row of its own, the window's whole width: between
    // the buttons it had room for a dozen characters at 1024x768.
    auto* statusRow = new QHBoxLayout;
    QFont statusFont = w("KomutSatırı")->font();
    statusFont.setBold(true);
    w("KomutSatırı")->setFont(statusFont);
    statusRow->addWidget(w("KomutSatırı"), 1);
    // The session's messages, beside the line that shows only the latest.
    messages_ = new MessagesWindow(form_, this);
    auto* messagesButton = new QPushButton(QStringLiteral("Mesajlar"), top);
    messagesButton->setFocusPolicy(Qt::NoFocus);
    messagesButton->setToolTip(QStringLiteral("Ctrl+M"));
    connect(messagesButton, &QPushButton::clicked, this, [this] { toggleMessages(); });
    widgets_["MesajlarButon"] = messagesButton;
    statusRow->addWidget(messagesButton);
    rows->addLayout(statusRow);

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

    // The data log, the trend window, the job label and the history, one above the
    // other: on every screen.
    auto* record = new QVBoxLayout;
    record->setSpacing(2);
    for (const char* name : {"ButonKayıt", "ButonTrend"}) record->addWidget(w(name));
    history_ = new HistoryControls(form_, [this](const std::function<void()>& work) { runHandler(work); }, top);
    history_->setPlacement([this](QWidget* window) { placeToolWindow(window, kHistoryWindowSize); });
    record->addWidget(history_);
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

}  // namespace gasecu::qt
