#pragma once
// One Qt widget per control of the form, and the mirroring of the control's
// properties onto it. Each binding remembers what it last applied and touches the
// widget only when a property changed: the window mirrors after every handler,
// 40 times a second for the curve redraw alone, and a QLineEdit that is given its
// own text again would lose the fitter's cursor.
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/control_registry.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace gasecu::qt {

class ControlWidget {
public:
    virtual ~ControlWidget() = default;
    virtual QWidget* widget() const = 0;
    // Copies the control's properties onto the widget, where they changed.
    virtual void mirror() = 0;

protected:
    void mirrorCommon(const Control& c, QWidget* w);
    // True when the property differs from what was last applied, which it then
    // remembers: the caller touches the widget only then.
    template <typename T>
    static bool Changed(std::optional<T>& applied, const T& now) {
        if (applied == now) return false;
        applied = now;
        return true;
    }

private:
    std::optional<bool> visible_, enabled_;
};

// What a user event on a widget does: run the form's handler, then mirror.
struct WidgetEvents {
    std::function<void()> click;
    std::function<void()> mouseDown;
    std::function<void()> mouseUp;
    std::function<void(int index)> select;  // a list entry chosen by the user
    std::function<void(bool on)> check;     // a check box toggled by the user
    std::function<void(int key)> keyPress;  // a key typed into a text box (ASCII code, Enter = 13)
    std::function<void(const std::string& text)> edited;
    // Whether the fitter chose English: the captions the window draws itself
    // (pictures the form gives no text) follow it. Unset: Turkish.
    std::function<bool()> english;
};

// Builds the widget for one control. The parent is the container's widget.
std::unique_ptr<ControlWidget> MakeControlWidget(const ControlEntry& entry, QWidget* parent, const WidgetEvents& events);

// Glyph shown by an image control: the pictures of the fuel display, the editor's
// idle and tilt pictures, the calibration marker, the fuel switch; in English or
// Turkish.
QString ImageGlyph(const std::string& controlName, int picture, bool english);
// The fuel switch picture's tooltip (BenzinPic or LPGPic).
QString FuelSwitchTip(const std::string& controlName, bool english);

}  // namespace gasecu::qt
