#pragma once
// A question the fitter answers with Yes or No before the tool does something that
// cannot be undone (overwriting every ECU setting). The window shows a message box
// in the fitter's language; tests and the headless commands answer it themselves.
#include <string>

namespace gasecu {

struct YesNoQuestionText {
    std::string title;
    std::string question;
    std::string yes;  // the buttons' captions, in the same language
    std::string no;
};

class YesNoQuestion {
public:
    virtual ~YesNoQuestion() = default;
    // True only for an explicit Yes; closing the box counts as No.
    virtual bool ask(const YesNoQuestionText& text) = 0;
};

}  // namespace gasecu
