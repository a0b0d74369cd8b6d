#pragma once
// Questions put to the fitter before a step that cannot be taken back: Yes/No
// (closing the window with the ECU connected, loading the factory settings, ...)
// and Save/Discard/Cancel (a curve with unsaved changes about to be replaced or
// dropped). The window asks with a Qt message box; tests and headless runs answer
// from a script. The form builds each question in the user's language.
#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace gasecu {

struct YesNoQuestion {
    std::string text;  // the question, in the user's language
    std::string yes;   // caption of the Yes button ("Evet" / "Yes")
    std::string no;    // caption of the No button ("Hayır" / "No")
    // Empty, or whether the question still means anything: the timers run while it
    // is open, and an exchange it asks about may end first. Once false, the
    // question closes as if answered No.
    std::function<bool()> stillApplies;
};

// What to do with changes that would otherwise be lost.
enum class SaveChoice {
    Save,     // save them first, then go on
    Discard,  // go on without them
    Cancel,   // do not go on: everything stays as it is
};

struct SaveDiscardCancelQuestion {
    std::string text;     // the question, in the user's language
    std::string save;     // button captions in the same language
    std::string discard;
    std::string cancel;
};

class Questions {
public:
    virtual ~Questions() = default;
    // True for Yes. A question closed without an answer (Esc, the window's close
    // box) counts as No: the step that needed the Yes does not happen.
    virtual bool askYesNo(const YesNoQuestion& question) = 0;
    // A question closed without an answer counts as Cancel.
    virtual SaveChoice askSaveDiscardCancel(const SaveDiscardCancelQuestion& question) = 0;
};

// Answers from a script, one answer per question in order, then the fallback
// (for Save/Discard/Cancel: Cancel, so an unexpected question changes nothing);
// keeps every question asked so a test can check its wording.
class ScriptedQuestions final : public Questions {
public:
    explicit ScriptedQuestions(bool fallback = false) : fallback_(fallback) {}
    void answerNext(bool yes) { answers_.push_back(yes); }
    void answerNext(SaveChoice choice) { choices_.push_back(choice); }
    // Runs while a Yes/No question is open, before its answer (time passing while
    // the fitter reads it).
    std::function<void()> whileAsked;
    bool askYesNo(const YesNoQuestion& question) override {
        asked_.push_back(question);
        if (whileAsked) whileAsked();
        if (question.stillApplies && !question.stillApplies()) {
            if (!answers_.empty()) answers_.pop_front();
            return false;
        }
        if (answers_.empty()) return fallback_;
        bool yes = answers_.front();
        answers_.pop_front();
        return yes;
    }
    SaveChoice askSaveDiscardCancel(const SaveDiscardCancelQuestion& question) override {
        askedChoices_.push_back(question);
        if (choices_.empty()) return SaveChoice::Cancel;
        SaveChoice choice = choices_.front();
        choices_.pop_front();
        return choice;
    }
    const std::vector<YesNoQuestion>& asked() const { return asked_; }
    const std::vector<SaveDiscardCancelQuestion>& askedChoices() const { return askedChoices_; }

private:
    bool fallback_;
    std::deque<bool> answers_;
    std::deque<SaveChoice> choices_;
    std::vector<YesNoQuestion> asked_;
    std::vector<SaveDiscardCancelQuestion> askedChoices_;
};

}  // namespace gasecu
