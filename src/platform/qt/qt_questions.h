#pragma once
// Yes/No questions as a Qt message box over the window: the two buttons carry
// the form's captions, No is the default (Enter or a stray Space answers No).
#include "platform/questions.h"

class QWidget;

namespace gasecu::qt {

class QtQuestions final : public Questions {
public:
    explicit QtQuestions(QWidget* parent = nullptr) : parent_(parent) {}
    // The window the boxes open over; it exists only after the form.
    void setParent(QWidget* parent) { parent_ = parent; }
    bool askYesNo(const YesNoQuestion& question) override;

private:
    QWidget* parent_;
};

}  // namespace gasecu::qt
