#pragma once
// What the control widgets of control_widgets.cpp and display_widgets.cpp share:
// palette roles, mouse watching for widgets without signals, and the builders of
// the display-only widgets.
#include <QColor>
#include <QPalette>
#include <QWidget>
#include <memory>
#include <optional>
#include <string>

#include "window/control_widgets.h"

namespace gasecu::qt {

// Sets a palette role in every colour group, or gives it back to the style in
// each group (the style's disabled colours are what make a locked control look
// locked).
void SetRole(QWidget* w, QPalette::ColorRole role, std::optional<QColor> colour);
// A colour that is not news any more (a lamp while the link is down): a light grey.
QColor Faded(const QColor& colour);

// Runs the events' mouse down, up and click for a widget that has no signals
// of its own (pictures), and shows the pointing hand over it.
void WatchMouse(QWidget* w, const WidgetEvents& ev);

std::unique_ptr<ControlWidget> MakeImageWidget(ImageControl& c, std::string name, QWidget* parent, const WidgetEvents& ev);
std::unique_ptr<ControlWidget> MakeProgressBarWidget(ProgressBarControl& c, QWidget* parent);

}  // namespace gasecu::qt
