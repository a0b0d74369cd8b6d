#pragma once
// A window of the tool's own carried in the main window's right side when the
// screen has no room for it beside or under the window (the virtual engine panel
// on a 1024x768 screen): a narrow handle at the right edge of the work area that
// opens and closes it. Closed, it covers nothing; open, it lies over the right of
// the work area below the window's button rows, never over them.
#include <QPointer>
#include <QWidget>

class QScrollArea;
class QToolButton;

namespace gasecu::qt {

class DockedPanel : public QWidget {
public:
    // Takes `panel` into the work area `work` (its layout a grid: the handle goes
    // into the column after the screens).
    DockedPanel(QWidget* work, QWidget* panel, const QString& caption);
    QWidget* handle() const;
    // The panel's frame inside the work area while open.
    bool isOpen() const;
    void setOpen(bool open);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void place();
    QWidget* work_;
    QToolButton* handle_;
    QScrollArea* area_;
};

}  // namespace gasecu::qt
