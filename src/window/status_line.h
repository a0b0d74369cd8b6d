#pragma once
// The status line: a read-only box that never hides a message's beginning. A text
// wider than the box is drawn with its middle elided ("KALIBRASYON DURDURULDU ! …
// BASINÇ= 0,42"), so the head (what failed) and the tail (why, which port, which
// file) both show; the whole text stays the box's text (copyable) and its tooltip.
#include <QLineEdit>
#include <QString>

namespace gasecu::qt {

class StatusLine : public QLineEdit {
public:
    explicit StatusLine(QWidget* parent = nullptr);
    // What the box shows of its text at its present width and font.
    QString shownText() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QRect textArea() const;
};

}  // namespace gasecu::qt
