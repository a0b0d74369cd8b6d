#pragma once
// The yes/no question as a Qt message box with the buttons captioned in the
// fitter's language; No is the default, so a stray Enter changes nothing.
#include "platform/yes_no_question.h"

class QWidget;

namespace gasecu {

class QtYesNoQuestion : public YesNoQuestion {
public:
    explicit QtYesNoQuestion(QWidget* parent = nullptr) : parent_(parent) {}
    bool ask(const YesNoQuestionText& text) override;

private:
    QWidget* parent_;
};

}  // namespace gasecu
