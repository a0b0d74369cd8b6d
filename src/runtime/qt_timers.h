#pragma once
// The form's five timers as QTimers: each QTimer follows its TimerControl's
// interval and enabled flag, and a tick runs the form's handler, then whatever the
// window does after every handler (mirroring the controls).
#include <QObject>
#include <QTimer>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>

#include "app/controls.h"

namespace gasecu {
class Form1Korvane;
}

namespace gasecu::qt {

class QtTimers : public QObject {
public:
    explicit QtTimers(std::function<void()> afterTick, QObject* parent = nullptr);
    ~QtTimers() override;
    // Follows the control from now on; starts the QTimer at once if it is enabled.
    void attach(TimerControl& control);
    // Attaches the form's Timer1..Timer5 in that order (timer(0) is Timer1).
    void attachFormTimers(Form1Korvane& form);
    // For tests: the QTimer behind the n-th attached control (0-based).
    const QTimer* timer(int index) const;

private:
    struct Slot {
        TimerControl* control = nullptr;
        QTimer timer;
        std::uint64_t generation = 0;
        int interval = -1;
    };
    void follow(Slot& slot);

    std::function<void()> afterTick_;
    std::array<std::unique_ptr<Slot>, 5> slots_;
    int count_ = 0;
};

}  // namespace gasecu::qt
