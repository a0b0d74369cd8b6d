// The docked panel of the main window's right side (see docked_panel.h).
#include "window/docked_panel.h"

#include <QEvent>
#include <QGridLayout>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>
#include <algorithm>

namespace gasecu::qt {

DockedPanel::DockedPanel(QWidget* work, QWidget* panel, const QString& caption)
    : QWidget(work), work_(work), handle_(new QToolButton(work)), area_(new QScrollArea(work)) {
    setObjectName("DockedPanel");
    hide();  // the object only keeps the parts together
    handle_->setObjectName("DockedPanelHandle");
    handle_->setCheckable(true);
    handle_->setText(QStringLiteral("◀"));
    handle_->setToolTip(caption);
    handle_->setFixedWidth(22);
    handle_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    if (auto* grid = qobject_cast<QGridLayout*>(work->layout())) grid->addWidget(handle_, 0, 1);
    area_->setObjectName("DockedPanelArea");
    area_->setWidgetResizable(true);
    area_->setFrameShape(QFrame::StyledPanel);
    area_->setWindowFlags(Qt::Widget);
    panel->setWindowFlags(Qt::Widget);
    area_->setWidget(panel);
    area_->hide();
    QObject::connect(handle_, &QToolButton::toggled, area_, [this](bool open) { setOpen(open); });
    work->installEventFilter(this);
}

QWidget* DockedPanel::handle() const { return handle_; }

bool DockedPanel::isOpen() const { return area_->isVisible(); }

void DockedPanel::setOpen(bool open) {
    if (handle_->isChecked() != open) handle_->setChecked(open);
    handle_->setText(open ? QStringLiteral("▶") : QStringLiteral("◀"));
    if (open) {
        place();
        area_->show();
        area_->raise();
    } else {
        area_->hide();
    }
}

bool DockedPanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == work_ && (event->type() == QEvent::Resize || event->type() == QEvent::LayoutRequest) &&
        area_->isVisible())
        place();
    return false;
}

void DockedPanel::place() {
    // Left of the handle, the work area's full height, as wide as the panel wants
    // (with room for a scroll bar) and never wider than half the work area.
    const int wanted = area_->widget()->sizeHint().width() + area_->verticalScrollBar()->sizeHint().width() + 4;
    const int width = std::min(wanted, work_->width() / 2);
    const QRect handle = handle_->geometry();
    area_->setGeometry(handle.left() - width, 0, width, work_->height());
}

}  // namespace gasecu::qt
