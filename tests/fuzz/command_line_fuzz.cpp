// The service commands run from scripts and from a workshop PC over ssh, so their
// command line takes whatever a script builds: empty words, stray '=' signs, cut
// UTF-8, numbers far out of range. Parsing must end in options or in an error
// text, never both or neither, and the checks made before any port is opened must
// explain every refusal.
//
// Input: the arguments after the program name, separated by zero bytes.
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "fuzz_target.h"

namespace {

using namespace gasecu::cli;

constexpr std::size_t kMostArguments = 32;

std::vector<std::string> Arguments(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> arguments(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] != 0) {
            arguments.back().push_back(static_cast<char>(data[i]));
        } else if (arguments.size() < kMostArguments) {
            arguments.emplace_back();
        } else {
            break;
        }
    }
    return arguments;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::string> arguments = Arguments(data, size);
    const ParseResult result = ParseCommandLine(Commands(), arguments);
    FUZZ_EXPECT(result.options.has_value() != !result.error.empty());
    if (!result.options) return 0;

    const Options& options = *result.options;
    if (options.command == "help") return 0;
    const Command* command = FindCommand(Commands(), options.command);
    FUZZ_EXPECT(command != nullptr);
    FUZZ_EXPECT(options.language.value_or(0) == 0 || options.language == 1);
    FUZZ_EXPECT(options.count >= 0);
    // The write-curve check reads the file it names; every other check only looks
    // at the words.
    if (command->validate && command->name != "write-curve") {
        std::string message;
        const int status = command->validate(options, message);
        FUZZ_EXPECT(status == kExitDone || !message.empty());
        FUZZ_EXPECT(status == kExitDone || status == kExitBadUsage || status == kExitFileError);
    }
    return 0;
}
