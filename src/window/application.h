#pragma once
// The tool's entry: the window (or, with a command, the headless service tool).
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
}
