// The soak's hand on the window: it presses, ticks, picks and types into the
// controls a fitter can reach at that moment (shown and enabled, in a picture box
// that is shown and enabled), through the same handlers the window calls.
#include "soak/soak_session.h"

#include <iterator>
#include <string>
#include <variant>
#include <vector>

#include "app/control_registry.h"
#include "window/event_table.h"

namespace gasecu::test {

namespace {

bool ShownAndEnabled(const ControlRef& control) {
    return std::visit([](const auto* c) { return c->visible && c->enabled; }, control);
}

// Whether the fitter can reach a control: it and every picture box it sits in are
// shown and enabled (a disabled or hidden container takes its controls with it).
bool Reachable(const std::vector<ControlEntry>& controls, const ControlEntry& entry) {
    if (!ShownAndEnabled(entry.control)) return false;
    for (Container c = entry.container; c != Container::Fixed;) {
        const ControlEntry* holder = FindControl(controls, ContainerControlName(c));
        if (!holder || !ShownAndEnabled(holder->control)) return false;
        c = c == Container::CurvePlot ? Container::CurvePaper : Container::Fixed;
    }
    return true;
}

bool HasEvents(const ControlEntry& entry) {
    const qt::ControlHandlers h = qt::HandlersFor(entry.name);
    return h.click || h.mouseDown || h.listClick || h.keyPress || h.editable ||
           entry.kind() == ControlKind::CheckBox;
}

}  // namespace

void SoakSession::pressControl() {
    Form1Korvane& f = h_.form;
    const std::vector<ControlEntry> controls = ListControls(f);
    std::vector<const ControlEntry*> reachable;
    for (const ControlEntry& e : controls)
        if (e.name != "ExitButon" && HasEvents(e) && Reachable(controls, e)) reachable.push_back(&e);
    if (reachable.empty()) return;
    const ControlEntry& e = *reachable[static_cast<std::size_t>(draw(static_cast<int>(reachable.size())))];
    const qt::ControlHandlers h = qt::HandlersFor(e.name);
    actionMayChangeCurve_ = e.container == Container::CurvePaper || e.container == Container::CurvePlot ||
                            e.container == Container::Calibration || e.name == "ButonDisktenOku";
    action_ = e.name;

    if (auto* box = std::get_if<CheckBoxControl*>(&e.control)) {
        CheckBoxControl* c = *box;
        note("tick " + e.name);
        event(Source::Action, [c] { c->setValue(c->checked() ? 0 : 1); });
    } else if (auto* list = std::get_if<ComboBoxControl*>(&e.control)) {
        ComboBoxControl* c = *list;
        if (c->entries.empty()) return;
        const int index = draw(static_cast<int>(c->entries.size()));
        note("choose entry " + std::to_string(index) + " of " + e.name);
        event(Source::Action, [&f, c, index, handler = h.listClick] {
            c->selectedIndex = index;
            if (handler) (f.*handler)();
        });
    } else if (auto* text = std::get_if<TextBoxControl*>(&e.control); text && h.editable) {
        static const char* const kTyped[] = {"4", "2", "1", "12", "0", "2.5", "04", "850", "2000", "30,5", "96.1",
                                             "0.70", "1,80", "0.6", "", "abc", "-1", "99999999999", "1e3", "nan"};
        static const int kKeys[] = {13, 13, 13, 13, 55, 8, 27};
        TextBoxControl* c = *text;
        const std::string typed = kTyped[draw(static_cast<int>(std::size(kTyped)))];
        const int key = kKeys[draw(static_cast<int>(std::size(kKeys)))];
        note("type '" + typed + "' and key " + std::to_string(key) + " in " + e.name);
        event(Source::Action, [&f, c, typed, key, handler = h.keyPress] {
            c->text = typed;
            if (handler) (f.*handler)(key);
        });
    } else if (h.mouseDown) {
        const double holdMs = draw(3000);
        note("hold " + e.name + " for " + std::to_string(static_cast<int>(holdMs)) + " ms");
        event(Source::Action, [&f, down = h.mouseDown] { (f.*down)(); });
        const bool mayChange = actionMayChangeCurve_;
        h_.runner.schedule(holdMs, [this, &f, name = e.name, up = h.mouseUp, click = h.click, mayChange] {
            action_ = name + " released";
            actionMayChangeCurve_ = mayChange;
            note("release " + name);
            event(Source::Action, [&f, up, click] {
                if (up) (f.*up)();
                if (click) (f.*click)();
            });
        });
    } else if (h.click) {
        note("click " + e.name);
        event(Source::Action, [&f, click = h.click] { (f.*click)(); });
    }
}

void SoakSession::pressIfReachable(const std::string& name) {
    const std::vector<ControlEntry> controls = ListControls(h_.form);
    const ControlEntry* entry = FindControl(controls, name);
    const qt::ControlHandlers h = qt::HandlersFor(name);
    if (!entry || !h.click || !Reachable(controls, *entry)) return;
    action_ = name;
    actionMayChangeCurve_ = entry->container == Container::Calibration;
    note("click " + name + " (quiet)");
    event(Source::Action, [this, click = h.click] { (h_.form.*click)(); });
}

}  // namespace gasecu::test
