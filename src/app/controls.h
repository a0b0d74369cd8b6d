#pragma once
// The window's controls as plain data. Handlers change these properties and tests
// read them; the Qt layer builds one widget per control and mirrors the properties
// onto it after every handler.
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/canvas.h"

namespace gasecu {

namespace colours {
inline constexpr Colour kWhite = 16777215;        // 0xFFFFFF
inline constexpr Colour kDarkCyan = 4210688;      // RGB(0, 64, 64): active screen button
inline constexpr Colour kGrey = 8421504;          // RGB(128, 128, 128)
inline constexpr Colour kGreen = 65280;           // RGB(0, 255, 0)
inline constexpr Colour kRed = 255;               // RGB(255, 0, 0)
inline constexpr Colour kYellow = 0x00FFFF;       // RGB(255, 255, 0)
inline constexpr Colour kBlack = 0;
inline constexpr Colour kButtonFace = 0x8000000F; // system colour: button face
inline constexpr Colour kWindowText = 0x80000008; // system colour: window text
inline constexpr Colour kWindowBackground = 0x80000005;
}  // namespace colours

struct Control {
    bool visible = true;
    bool enabled = true;
};

struct ButtonControl : Control {
    std::string caption;
    Colour backColour = colours::kButtonFace;
    // Shown greyed but still pressable: a lamp whose colour is not news from the
    // ECU now (the gas type buttons while the link is down).
    bool dimmed = false;
};

struct LabelControl : Control {
    std::string caption;
    Colour backColour = colours::kButtonFace;
    Colour foreColour = colours::kWindowText;
};

struct TextBoxControl : Control {
    std::string text;
};

// A check box runs its click rule whenever its value changes, by the user or by
// code, inside the statement that changed it; setting the value it already holds
// runs nothing. The curve editor's point boxes rely on this.
class CheckBoxControl : public Control {
public:
    int value() const { return value_; }
    bool checked() const { return value_ != 0; }
    void setValue(int value) {
        if (value == value_) return;
        value_ = value;
        if (clickRule_) clickRule_();
    }
    void setChecked(bool on) { setValue(on ? 1 : 0); }
    void setClickRule(std::function<void()> rule) { clickRule_ = std::move(rule); }
    Colour backColour = colours::kButtonFace;
    std::string caption;  // beside the box; the point boxes have none

private:
    int value_ = 0;
    std::function<void()> clickRule_;
};

struct ComboBoxControl : Control {
    std::vector<std::string> entries;
    int selectedIndex = -1;  // -1: nothing selected
};

// A picture box: a container or drawing surface with a user coordinate system
// given by its upper-left and lower-right corners.
struct PictureBoxControl : Control {
    double scaleLeft = 0, scaleTop = 0, scaleRight = 1, scaleBottom = 1;
    void setScale(double left, double top, double right, double bottom) {
        scaleLeft = left;
        scaleTop = top;
        scaleRight = right;
        scaleBottom = bottom;
    }
    // Where its drawing goes; null for containers that are never drawn on.
    std::shared_ptr<Canvas> canvas;
};

// An image (picture without events of its own beyond click); picture is an index
// into an image list, 0 for the design-time picture.
struct ImageControl : Control {
    int picture = 0;
};

struct ProgressBarControl : Control {
    double minimum = 0;
    double maximum = 100;
    float value = 0;  // single precision, as the bar takes it
};

// A timer: an interval and an enabled flag. Whoever runs the timers (the QTimers of
// the window, or the virtual-time runner) installs an observer that learns of every
// start and stop; the form installs the tick handler.
class TimerControl {
public:
    explicit TimerControl(int intervalMs = 0) : interval_(intervalMs) {}
    int interval() const { return interval_; }
    void setInterval(int ms) {
        interval_ = ms;
        if (observer_) observer_();
    }
    bool enabled() const { return enabled_; }
    // Enabling a running timer changes nothing; disabling and enabling again restarts
    // its count from the moment it was enabled.
    void setEnabled(bool on) {
        if (on == enabled_) return;
        enabled_ = on;
        if (on) ++generation_;
        if (observer_) observer_();
    }
    // Bumped every time the timer is (re)started, so a runner can drop stale ticks.
    std::uint64_t generation() const { return generation_; }
    void setObserver(std::function<void()> observer) { observer_ = std::move(observer); }
    void setTickHandler(std::function<void()> handler) { tick_ = std::move(handler); }
    void tick() {
        if (enabled_ && tick_) tick_();
    }

private:
    int interval_;
    bool enabled_ = false;
    std::uint64_t generation_ = 0;
    std::function<void()> observer_;
    std::function<void()> tick_;
};

// The file dialog's design-time properties.
struct FileDialogControl {
    std::string fileName = "*.txt";
    std::string filter = "curves (*.txt) Example: Cur_xx.txt";
    std::string initialDirectory;
};

}  // namespace gasecu
