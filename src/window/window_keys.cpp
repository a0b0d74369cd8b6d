// The window's keys: the arrow keys that edit the curve (only while the curve
// screen is on view and this window is the active one, never when a box or a list
// wants them), and the undo and redo shortcuts.
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTextEdit>
#include <optional>

#include "window/curve_widgets.h"
#include "window/main_window.h"

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
    // The messages window opens and closes from anywhere in the tool.
    auto* messages = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_M), this);
    messages->setContext(Qt::ApplicationShortcut);
    connect(messages, &QShortcut::activated, this, [this] { toggleMessages(); });
}


namespace {

// A box the fitter types into (not a read-only display nor a list's own editor).
QLineEdit* TypingBox(QObject* object) {
    auto* box = qobject_cast<QLineEdit*>(object);
    if (!box || box->isReadOnly() || qobject_cast<QComboBox*>(box->parentWidget())) return nullptr;
    return box;
}

// The band buttons: a click on one chooses what the arrow keys move next.
bool IsBandButton(const QObject* object) { return object->objectName().startsWith(QStringLiteral("devir")); }

}  // namespace

void MainWindow::giveTheCurveTheKeyboard() {
    if (plot_ && plot_->isVisible()) plot_->setFocus(Qt::MouseFocusReason);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    // A text box with the keyboard shows it: the keys typed (Ctrl+Z too) go there,
    // not to the curve.
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
        if (QLineEdit* box = TypingBox(watched); box && box->window() == this) {
            QPalette p = box->palette();
            p.setColor(QPalette::Base, event->type() == QEvent::FocusIn ? QColor(255, 246, 190)
                                                                       : QApplication::palette(box).color(QPalette::Base));
            box->setPalette(p);
        }
    }
    // A click on the plot or on a band button gives the curve the keyboard back.
    if (event->type() == QEvent::MouseButtonPress) {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget && widget->window() == this && plot_ &&
            (widget == plot_ || plot_->isAncestorOf(widget) || IsBandButton(widget)))
            giveTheCurveTheKeyboard();
    }
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

}  // namespace gasecu::qt
