// Yes/No questions in the fitter's language, and the question before the window
// closes with the ECU connected.
#include <gtest/gtest.h>

#include "app/form1korvane.h"
#include "support/link_harness.h"

namespace gasecu {
namespace {

TEST(Questions, AskedInTheUsersLanguageAndOnlyYesCountsAsYes) {
    struct Case {
        double language;
        bool answer;
        const char* text;
        const char* yes;
        const char* no;
    };
    for (Case c : {Case{0, true, "Soru?", "Evet", "Hayır"}, Case{0, false, "Soru?", "Evet", "Hayır"},
                   Case{1, true, "Question?", "Yes", "No"}, Case{1, false, "Question?", "Yes", "No"}}) {
        test::ScriptedLink link;
        ScriptedQuestions questions;
        link.form.env.questions = &questions;
        link.form.LanguageIndex = c.language;
        questions.answerNext(c.answer);
        EXPECT_EQ(link.form.AskYesNo("Soru?", "Question?"), c.answer);
        ASSERT_EQ(questions.asked().size(), 1u);
        EXPECT_EQ(questions.asked()[0].text, c.text);
        EXPECT_EQ(questions.asked()[0].yes, c.yes);
        EXPECT_EQ(questions.asked()[0].no, c.no);
    }
    // Nobody to ask: the step that needed a Yes does not happen.
    test::ScriptedLink link;
    EXPECT_FALSE(link.form.AskYesNo("Soru?", "Question?"));
}

TEST(Questions, ClosingAsksOnlyWhileTheEcuIsConnected) {
    test::LinkHarness h;
    ScriptedQuestions questions;
    h.form.env.questions = &questions;
    // Nothing connected: the window closes without a question.
    EXPECT_TRUE(h.form.MayCloseWindow());
    EXPECT_TRUE(questions.asked().empty());

    ASSERT_TRUE(h.connect());
    questions.answerNext(false);
    EXPECT_FALSE(h.form.MayCloseWindow());
    ASSERT_EQ(questions.asked().size(), 1u);
    EXPECT_EQ(questions.asked()[0].text, "The ECU is connected. Close the program?");
    questions.answerNext(true);
    EXPECT_TRUE(h.form.MayCloseWindow());

    // After the exit button the program ends anyway: no second question.
    h.form.ExitButon_Click();
    EXPECT_TRUE(h.form.MayCloseWindow());
    EXPECT_EQ(questions.asked().size(), 2u);
}

}  // namespace
}  // namespace gasecu
