// The widgets of the controls the fitter acts on (buttons, labels, text boxes,
// check boxes, lists, the screens and pictures), the mirroring they share, and
// the factory that builds one per control.
#include "window/control_widgets.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <cmath>
#include <functional>
#include <utility>

#include "window/curve_widgets.h"
#include "window/fitting_label.h"
#include "window/qt_canvas.h"
#include "window/status_line.h"
#include "window/widget_parts.h"

namespace gasecu::qt {

// Sets a palette role in every colour group, or gives it back to the style in
// each group (the style's disabled colours are what make a locked control look
// locked).
void SetRole(QWidget* w, QPalette::ColorRole role, std::optional<QColor> colour) {
    QPalette p = w->palette();
    const QPalette style = QApplication::palette(w);
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        p.setColor(group, role, colour ? *colour : style.color(group, role));
    w->setPalette(p);
}

// A colour that is not news any more: its grey of the same lightness, lightened,
// as the style greys a disabled caption.
QColor Faded(const QColor& colour) {
    const int grey = 150 + qGray(colour.rgb()) / 4;
    return QColor(grey, grey, grey);
}

namespace {

// A control's colour for a widget; system colours (0x800000nn) give nothing: the
// widget keeps the style's own colour for that role.
std::optional<QColor> WidgetColour(Colour colour) {
    if (IsSystemColour(colour)) return std::nullopt;
    return ToQColor(colour);
}

QString Q(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// A readable text colour on a given background.
QColor TextOn(const QColor& back) { return back.lightness() < 110 ? QColor(Qt::white) : QColor(Qt::black); }

// A locked button's caption: halfway between its own colour and the face, so the
// button reads as locked on any face colour (the active screen button stays dark
// cyan, its caption dimmed).
QColor LockedCaption(const QColor& caption, const QColor& face) {
    return QColor((caption.red() + face.red()) / 2, (caption.green() + face.green()) / 2,
                  (caption.blue() + face.blue()) / 2);
}

// A label's or a check box's back colour: the widget fills its background with it,
// or leaves the style's own background for a system colour.
void FillBackground(QWidget* w, Colour colour) {
    const auto c = WidgetColour(colour);
    w->setAutoFillBackground(c.has_value());
    SetRole(w, QPalette::Window, c);
}

}  // namespace

namespace {

// A control that is locked or hidden while it (or a control inside it) has the
// focus hands the focus to the next one in the tab order, which may be the exit
// button or "Hataları Sil": a stray Space there would act. The window itself
// takes the focus instead, where keys do nothing (the arrow keys still reach the
// curve editor, which watches them for the whole window).
void KeepFocusSafe(QWidget* w) {
    QWidget* focus = QApplication::focusWidget();
    if (focus && (focus == w || w->isAncestorOf(focus))) w->window()->setFocus(Qt::OtherFocusReason);
}

}  // namespace

void ControlWidget::mirrorCommon(const Control& c, QWidget* w) {
    if (Changed(visible_, c.visible)) {
        if (!c.visible) KeepFocusSafe(w);
        w->setVisible(c.visible);
    }
    if (Changed(enabled_, c.enabled)) {
        if (!c.enabled) KeepFocusSafe(w);
        w->setEnabled(c.enabled);
    }
}

namespace {

// Reports mouse presses and releases of any widget (pictures have no signals).
class MouseFilter : public QObject {
public:
    MouseFilter(QObject* parent, std::function<void()> down, std::function<void()> up, std::function<void()> click)
        : QObject(parent), down_(std::move(down)), up_(std::move(up)), click_(std::move(click)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (e->type() == QEvent::MouseButtonPress && static_cast<QMouseEvent*>(e)->button() == Qt::LeftButton) {
            pressed_ = true;
            if (down_) down_();
            return bool(down_ || click_);
        }
        if (e->type() == QEvent::MouseButtonRelease && static_cast<QMouseEvent*>(e)->button() == Qt::LeftButton) {
            bool wasPressed = pressed_;
            pressed_ = false;
            if (up_) up_();
            auto* w = qobject_cast<QWidget*>(watched);
            if (wasPressed && click_ && w && w->rect().contains(static_cast<QMouseEvent*>(e)->position().toPoint()))
                click_();
            return bool(up_ || click_);
        }
        return false;
    }

private:
    std::function<void()> down_, up_, click_;
    bool pressed_ = false;
};

}  // namespace

void WatchMouse(QWidget* w, const WidgetEvents& ev) {
    if (!ev.mouseDown && !ev.mouseUp && !ev.click) return;
    w->installEventFilter(new MouseFilter(w, ev.mouseDown, ev.mouseUp, ev.click));
    w->setCursor(Qt::PointingHandCursor);
}

namespace {

class ButtonWidget : public ControlWidget {
public:
    ButtonWidget(ButtonControl& c, QWidget* parent, const WidgetEvents& ev)
        : c_(c), w_(new QPushButton(parent)), acts_(ev.click || ev.mouseDown) {
        w_->setAutoDefault(false);
        w_->setFocusPolicy(Qt::TabFocus);
        if (ev.click) QObject::connect(w_, &QPushButton::clicked, w_, ev.click);
        if (ev.mouseDown) QObject::connect(w_, &QPushButton::pressed, w_, ev.mouseDown);
        if (ev.mouseUp) QObject::connect(w_, &QPushButton::released, w_, ev.mouseUp);
    }
    QWidget* widget() const override { return w_; }
    void mirror() override {
        mirrorCommon(c_, w_);
        // A button with no handler behind it must not look usable, whatever the
        // form says of it: pressing it would do nothing.
        if (!acts_) w_->setEnabled(false);
        if (Changed(caption_, c_.caption)) w_->setText(Q(c_.caption));
        if (Changed(back_, std::pair(c_.backColour, c_.dimmed))) {
            auto colour = WidgetColour(c_.backColour);
            if (colour && c_.dimmed) colour = Faded(*colour);
            SetRole(w_, QPalette::Button, colour);
            SetRole(w_, QPalette::ButtonText, colour ? std::optional(TextOn(*colour)) : std::nullopt);
            if (colour) {
                QPalette p = w_->palette();
                p.setColor(QPalette::Disabled, QPalette::ButtonText, LockedCaption(TextOn(*colour), *colour));
                w_->setPalette(p);
            }
        }
    }

private:
    ButtonControl& c_;
    QPushButton* w_;
    bool acts_;
    std::optional<std::string> caption_;
    std::optional<std::pair<Colour, bool>> back_;
};

class LabelWidget : public ControlWidget {
public:
    LabelWidget(LabelControl& c, QWidget* parent, const WidgetEvents& ev) : c_(c), w_(new FittingLabel(parent)) {
        WatchMouse(w_, ev);
    }
    QWidget* widget() const override { return w_; }
    void mirror() override {
        mirrorCommon(c_, w_);
        if (Changed(caption_, c_.caption)) {
            w_->setFittedText(Q(c_.caption));
            // A label the layout lets be narrower than its text (the link indicator
            // with a long device path) carries the whole text as its tooltip.
            if (w_->sizePolicy().horizontalPolicy() == QSizePolicy::Ignored) w_->setToolTip(Q(c_.caption));
        }
        if (Changed(colours_, std::pair(c_.backColour, c_.foreColour))) {
            FillBackground(w_, c_.backColour);
            // A caption in the system's text colour on a dark fill (a setting the
            // ECU took is coloured dark teal) would be black on black: it turns
            // light there. A caption colour of the form's own is kept.
            std::optional<QColor> fore = WidgetColour(c_.foreColour);
            const std::optional<QColor> back = WidgetColour(c_.backColour);
            if (!fore && back) fore = TextOn(*back);
            SetRole(w_, QPalette::WindowText, fore);
            // A caption of its own colour (the gas type lamps) greys when disabled
            // like any other caption.
            if (fore) {
                QPalette p = w_->palette();
                p.setColor(QPalette::Disabled, QPalette::WindowText, Faded(*fore));
                w_->setPalette(p);
            }
        }
    }

private:
    LabelControl& c_;
    FittingLabel* w_;
    std::optional<std::string> caption_;
    std::optional<std::pair<Colour, Colour>> colours_;
};

// A text box. The key handler sees each key before the character reaches the box,
// as the settings entry needs (it parses the text typed so far on Enter).
class TextBoxWidget : public ControlWidget {
public:
    TextBoxWidget(TextBoxControl& c, QLineEdit* box, const WidgetEvents& ev)
        : c_(c), w_(box), keyPress_(ev.keyPress), edited_(ev.edited) {
        if (!edited_) {
            // Display-only box: the fitter reads it, the tool writes it.
            w_->setReadOnly(true);
            w_->setFocusPolicy(Qt::NoFocus);
        }
        // What the fitter types is what the box shows: the mirror then puts back a
        // text the tool sets afterwards (the ECU's value after a refused entry),
        // even when it equals the one mirrored before the typing.
        if (edited_)
            QObject::connect(w_, &QLineEdit::textEdited, w_, [this](const QString& t) {
                text_ = t.toStdString();
                edited_(*text_);
            });
        if (keyPress_) w_->installEventFilter(new KeyFilter(w_, keyPress_));
    }
    QWidget* widget() const override { return w_; }
    void mirror() override {
        mirrorCommon(c_, w_);
        if (Changed(text_, c_.text)) {
            QString t = Q(c_.text);
            if (w_->text() != t) w_->setText(t);
        }
    }

private:
    class KeyFilter : public QObject {
    public:
        KeyFilter(QObject* parent, std::function<void(int)> handler) : QObject(parent), handler_(std::move(handler)) {}

    protected:
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() != QEvent::KeyPress) return false;
            auto* k = static_cast<QKeyEvent*>(e);
            int code = 0;
            if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) code = 13;
            else if (k->key() == Qt::Key_Backspace) code = 8;
            else if (!k->text().isEmpty()) code = k->text().at(0).unicode();
            if (code != 0) handler_(code);
            return false;  // the character is typed as usual
        }

    private:
        std::function<void(int)> handler_;
    };

    TextBoxControl& c_;
    QLineEdit* w_;
    std::function<void(int)> keyPress_;
    std::function<void(const std::string&)> edited_;
    std::optional<std::string> text_;
};

class CheckBoxWidget : public ControlWidget {
public:
    CheckBoxWidget(CheckBoxControl& c, QWidget* parent, const WidgetEvents& ev) : c_(c), w_(new QCheckBox(parent)) {
        w_->setFocusPolicy(Qt::NoFocus);
        // clicked() comes only from the user; the program's changes are mirrored silently.
        if (ev.check) QObject::connect(w_, &QCheckBox::clicked, w_, ev.check);
    }
    QWidget* widget() const override { return w_; }
    void mirror() override {
        mirrorCommon(c_, w_);
        if (w_->isChecked() != c_.checked()) {
            QSignalBlocker block(w_);
            w_->setChecked(c_.checked());
        }
        if (Changed(back_, c_.backColour)) FillBackground(w_, c_.backColour);
        if (Changed(caption_, c_.caption)) w_->setText(Q(c_.caption));
    }

private:
    CheckBoxControl& c_;
    QCheckBox* w_;
    std::optional<Colour> back_;
    std::optional<std::string> caption_;
};

class ComboBoxWidget : public ControlWidget {
public:
    ComboBoxWidget(ComboBoxControl& c, QWidget* parent, const WidgetEvents& ev) : c_(c), w_(new QComboBox(parent)) {
        // activated() is the user's choice only; setCurrentIndex below never calls the handler.
        if (ev.select) QObject::connect(w_, &QComboBox::activated, w_, ev.select);
    }
    QWidget* widget() const override { return w_; }
    void mirror() override {
        mirrorCommon(c_, w_);
        if (entries_ != c_.entries || w_->currentIndex() != c_.selectedIndex) {
            QSignalBlocker block(w_);
            if (entries_ != c_.entries) {
                w_->clear();
                for (const std::string& e : c_.entries) w_->addItem(Q(e));
                entries_ = c_.entries;
            }
            int index = c_.selectedIndex;
            w_->setCurrentIndex(index >= 0 && index < w_->count() ? index : -1);
        }
    }

private:
    ComboBoxControl& c_;
    QComboBox* w_;
    std::optional<std::vector<std::string>> entries_;
};

// A container screen or a clickable picture: only visibility and enabling.
class PictureBoxWidget : public ControlWidget {
public:
    PictureBoxWidget(PictureBoxControl& c, QWidget* w, std::string name = {}, std::function<bool()> english = {})
        : c_(c), w_(w), name_(std::move(name)), english_(std::move(english)) {}
    QWidget* widget() const override { return w_; }
    void mirror() override {
        mirrorCommon(c_, w_);
        if (auto* plot = dynamic_cast<PlotWidget*>(w_)) plot->refresh();
        // The fuel switch: a caption of the window's own, in the fitter's language.
        if (auto* label = qobject_cast<QLabel*>(w_); label && !name_.empty()) {
            const bool english = english_ && english_();
            if (Changed(english_applied_, english)) {
                label->setText(ImageGlyph(name_, 0, english));
                label->setToolTip(FuelSwitchTip(name_, english));
            }
        }
    }

private:
    PictureBoxControl& c_;
    QWidget* w_;
    std::string name_;
    std::function<bool()> english_;
    std::optional<bool> english_applied_;
};

}  // namespace

std::unique_ptr<ControlWidget> MakeControlWidget(const ControlEntry& entry, QWidget* parent, const WidgetEvents& ev) {
    struct Make {
        const ControlEntry& entry;
        QWidget* parent;
        const WidgetEvents& ev;
        std::unique_ptr<ControlWidget> operator()(ButtonControl* c) { return std::make_unique<ButtonWidget>(*c, parent, ev); }
        std::unique_ptr<ControlWidget> operator()(LabelControl* c) { return std::make_unique<LabelWidget>(*c, parent, ev); }
        std::unique_ptr<ControlWidget> operator()(TextBoxControl* c) {
            // The status line shows long messages elided in the middle, never cut at the head.
            QLineEdit* box = entry.name == "KomutSatırı" ? new StatusLine(parent) : new QLineEdit(parent);
            return std::make_unique<TextBoxWidget>(*c, box, ev);
        }
        std::unique_ptr<ControlWidget> operator()(CheckBoxControl* c) { return std::make_unique<CheckBoxWidget>(*c, parent, ev); }
        std::unique_ptr<ControlWidget> operator()(ComboBoxControl* c) { return std::make_unique<ComboBoxWidget>(*c, parent, ev); }
        std::unique_ptr<ControlWidget> operator()(PictureBoxControl* c) {
            QWidget* w = nullptr;
            if (entry.name == "EğriKağıdıPic") w = new CurvePaperWidget(parent);
            else if (entry.name == "EğriPic" || entry.name == "TrendPic") w = new PlotWidget(parent);
            else if (entry.name == "SettingsSettingsPic" || entry.name == "KalibrasyonPic") w = new ScreenWidget(parent);
            else {
                auto* label = new QLabel(parent);  // the fuel switch pictures
                label->setAlignment(Qt::AlignCenter);
                label->setFrameShape(QFrame::StyledPanel);
                WatchMouse(label, ev);
                return std::make_unique<PictureBoxWidget>(*c, label, entry.name, ev.english);
            }
            WatchMouse(w, ev);
            return std::make_unique<PictureBoxWidget>(*c, w);
        }
        std::unique_ptr<ControlWidget> operator()(ImageControl* c) {
            return MakeImageWidget(*c, entry.name, parent, ev);
        }
        std::unique_ptr<ControlWidget> operator()(ProgressBarControl* c) { return MakeProgressBarWidget(*c, parent); }
    };
    auto binding = std::visit(Make{entry, parent, ev}, entry.control);
    binding->widget()->setObjectName(QString::fromStdString(entry.name));
    return binding;
}

}  // namespace gasecu::qt
