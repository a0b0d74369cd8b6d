#pragma once
// Yes/No questions put to the fitter before a step that cannot be taken back
// (closing the window with the ECU connected, loading the factory settings, ...).
// The window asks with a Qt message box; tests and headless runs answer from a
// script. The form builds the question in the user's language (AskYesNo).
#include <deque>
#include <string>
#include <vector>

namespace gasecu {

struct YesNoQuestion {
    std::string text;  // the question, in the user's language
    std::string yes;   // caption of the Yes button ("Evet" / "Yes")
    std::string no;    // caption of the No button ("Hayır" / "No")
};

class Questions {
public:
    virtual ~Questions() = default;
    // True for Yes. A question closed without an answer (Esc, the window's close
    // box) counts as No: the step that needed the Yes does not happen.
    virtual bool askYesNo(const YesNoQuestion& question) = 0;
};

// Answers from a script, one answer per question in order, then the fallback;
// keeps every question asked so a test can check its wording.
class ScriptedQuestions final : public Questions {
public:
    explicit ScriptedQuestions(bool fallback = false) : fallback_(fallback) {}
    void answerNext(bool yes) { answers_.push_back(yes); }
    bool askYesNo(const YesNoQuestion& question) override {
        asked_.push_back(question);
        if (answers_.empty()) return fallback_;
        bool yes = answers_.front();
        answers_.pop_front();
        return yes;
    }
    const std::vector<YesNoQuestion>& asked() const { return asked_; }

private:
    bool fallback_;
    std::deque<bool> answers_;
    std::vector<YesNoQuestion> asked_;
};

}  // namespace gasecu
