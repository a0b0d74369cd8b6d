// The undo history on its own: steps, redo, what a new edit does to redo, and the
// depth it keeps.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "curve/curve_history.h"

namespace gasecu {
namespace {

// A curve told apart from others by one number at one place.
CurveRows Curve(double v) {
    CurveRows c{};
    c[5][9] = v;
    return c;
}

// Runs a script of operations on a history of depth 3 starting from Curve(0):
// "eN" edits the curve on screen to Curve(N) and notes it, "pN" edits without a
// note (a change still under way), "u" undoes, "r" redoes. Returns the curve on
// screen after each operation, by its number.
std::vector<double> Play(const std::string& script) {
    curve::CurveHistory h(3);
    CurveRows screen = Curve(0);
    h.reset(screen);
    std::vector<double> shown;
    for (std::size_t i = 0; i < script.size(); ++i) {
        const char op = script[i];
        if (op == ' ') continue;
        if (op == 'e' || op == 'p') {
            screen = Curve(script[++i] - '0');
            if (op == 'e') h.note(screen);
        } else if (op == 'u') {
            if (auto c = h.undo(screen)) screen = *c;
        } else if (op == 'r') {
            if (auto c = h.redo(screen)) screen = *c;
        }
        shown.push_back(screen[5][9]);
    }
    return shown;
}

TEST(CurveHistory, StepsUndoAndRedoInOrder) {
    struct Case {
        const char* script;
        std::vector<double> shown;
    };
    const Case cases[] = {
        {"e1 e2 u u u", {1, 2, 1, 0, 0}},               // nothing before the start
        {"e1 e2 u u r r r", {1, 2, 1, 0, 1, 2, 2}},     // nothing after the last step
        {"e1 e2 u e3 r", {1, 2, 1, 3, 3}},              // a new edit after an undo clears redo
        {"e1 p2 u r", {1, 2, 1, 2}},                    // a change under way is a step of its own
        {"e1 u p5 r", {1, 0, 5, 5}},                    // and clears redo like a noted one
        {"e1 e1 e1 u", {1, 1, 1, 0}},                   // noting an unchanged curve takes no step
        {"e1 e2 e3 e4 u u u u", {1, 2, 3, 4, 3, 2, 1, 1}},  // depth 3: the oldest went
    };
    for (const Case& c : cases) EXPECT_EQ(Play(c.script), c.shown) << c.script;
}

TEST(CurveHistory, KeepsAtLeastAHundredStepsByDefault) {
    curve::CurveHistory h;
    h.reset(Curve(0));
    for (int i = 1; i <= 150; ++i) h.note(Curve(i));
    EXPECT_EQ(h.undoSteps(), 150u);
    CurveRows screen = Curve(150);
    for (int i = 149; i >= 0; --i) {
        auto c = h.undo(screen);
        ASSERT_TRUE(c);
        screen = *c;
        EXPECT_EQ(screen, Curve(i));
    }
    EXPECT_FALSE(h.canUndo(screen));
    EXPECT_EQ(h.redoSteps(), 150u);
}

}  // namespace
}  // namespace gasecu
