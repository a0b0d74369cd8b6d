#pragma once
// The tool's entry: the window (or, with a command, the headless service tool).
#include <functional>
#include <optional>
#include <string>

namespace gasecu {
int RunApplication(int argc, char** argv);

// The window's --lang (--lang tr, --lang=en): the language for this run, or why
// the word given is refused (the same words as the service commands take).
struct WindowLanguage {
    std::optional<int> language;  // 0 Turkish, 1 English; unset: the stored choice
    std::string refusal;          // empty when the arguments are usable
};
WindowLanguage WindowLanguageFromArguments(int argc, const char* const* argv);

// Whether the window would find no display to open on: on an X11/Wayland system
// with the toolkit's platform (the -platform option, else QT_QPA_PLATFORM) left to
// its default, xcb without DISPLAY or wayland without WAYLAND_DISPLAY. The toolkit
// aborts there; the tool says what runs without a display instead. `variable`
// gives an environment variable's value (null when unset).
bool WindowHasNoDisplay(int argc, const char* const* argv, const std::function<const char*(const char*)>& variable);
}
