#pragma once
// A one-line caption whose width the layout decides (the link lamp between the
// connect and the disconnect buttons). Windows laptops often scale their fonts,
// and "COM3 : ECU NOT RESPONDING : 12.5 s" in a scaled bold font is wider than the
// lamp at 1024x768: the end of it, the age of the last reply, is what the fitter
// watches. The caption shrinks its font a little until it fits, and grows back as
// the lamp widens; past the smallest size allowed it is cut, and its tooltip, the
// whole text, still tells it.
#include <QFont>
#include <QLabel>

namespace gasecu::qt {

class FittingLabel : public QLabel {
public:
    // The smallest font kept, as a share of the font the label was given.
    static constexpr double kSmallestShare = 0.7;

    explicit FittingLabel(QWidget* parent = nullptr);
    // Shows a new caption, fitted to the present width.
    void setFittedText(const QString& text);
    // The font given to the label, before any shrinking.
    const QFont& givenFont() const { return given_; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void fit();

    QFont given_;
    bool fitting_ = false;
};

}  // namespace gasecu::qt
