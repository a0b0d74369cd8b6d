#include "cli/command_line.h"

#include <algorithm>

namespace gasecu::cli {

namespace {

std::string SetPort(Options& o, std::string_view value) {
    if (value.empty()) return "--port needs a device";
    o.portDevices.emplace_back(value);
    return {};
}
std::string SetSimulate(Options& o, std::string_view) {
    o.simulate = true;
    return {};
}
std::string SetLanguage(Options& o, std::string_view value) {
    if (value == "tr") o.language = 0;
    else if (value == "en") o.language = 1;
    else return "--lang takes tr or en, not '" + std::string(value) + "'";
    return {};
}
std::string SetTrace(Options& o, std::string_view) {
    o.trace = true;
    return {};
}
std::string SetLabel(Options& o, std::string_view value) {
    o.label = std::string(value);
    return {};
}
std::string SetHelp(Options& o, std::string_view) {
    o.help = true;
    return {};
}

const OptionInfo kCommonOptions[] = {
    {"--port", "", "DEVICE", "serial device the scan tries first (repeatable, in order: COM1, COM2, ...)", SetPort,
     true},
    {"--simulate", "", "", "talk to the built-in virtual ECU instead of a serial device", SetSimulate},
    {"--lang", "", "tr|en", "language of the messages (the stored choice is not changed)", SetLanguage},
    {"--trace", "", "", "print every frame sent (TX) and received (RX) with its time to standard error", SetTrace},
    {"--label", "", "TEXT", "the job (plate, model) this run's history records carry; history: records whose label holds TEXT",
     SetLabel},
    {"--help", "-h", "", "show this help", SetHelp},
};

const OptionInfo* FindOption(std::span<const OptionInfo> infos, std::string_view word) {
    for (const OptionInfo& info : infos)
        if (word == info.name || (!info.alias.empty() && word == info.alias)) return &info;
    return nullptr;
}

}  // namespace

std::span<const OptionInfo> CommonOptions() { return kCommonOptions; }

const Command* FindCommand(std::span<const Command> commands, std::string_view name) {
    for (const Command& command : commands)
        if (command.name == name) return &command;
    return nullptr;
}

ParseResult ParseCommandLine(std::span<const Command> commands, const std::vector<std::string>& arguments) {
    ParseResult result;
    if (arguments.empty()) {
        result.error = "no command given";
        return result;
    }
    Options options;
    const std::string& name = arguments.front();
    if (name == "help" || name == "--help" || name == "-h") {
        options.command = "help";
        options.help = true;
        // The help itself is one text, but a failure to print it is told in the
        // language asked for; any other word after "help" is ignored as before.
        for (std::size_t i = 1; i < arguments.size(); ++i) {
            const std::string_view word = arguments[i];
            if (word.starts_with("--lang=")) SetLanguage(options, word.substr(7));
            else if (word == "--lang" && i + 1 < arguments.size()) SetLanguage(options, arguments[++i]);
        }
        result.options = std::move(options);
        return result;
    }
    const Command* command = FindCommand(commands, name);
    if (!command) {
        result.error = "unknown command '" + name + "'";
        return result;
    }
    options.command = name;

    bool positionalGiven = false;
    std::vector<std::string_view> given;  // the single-valued options seen so far
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        std::string_view word = arguments[i];
        std::optional<std::string_view> inlineValue;
        if (word.starts_with("--")) {
            if (auto equals = word.find('='); equals != std::string_view::npos) {
                inlineValue = word.substr(equals + 1);
                word = word.substr(0, equals);
            }
        }
        const OptionInfo* info = FindOption(command->options, word);
        if (!info) info = FindOption(CommonOptions(), word);
        if (!info && command->positional && (command->repeatsPositional || !positionalGiven) &&
            !word.starts_with("-")) {
            positionalGiven = true;
            if (std::string error = command->positional(options, word); !error.empty()) {
                result.error = std::move(error);
                return result;
            }
            continue;
        }
        if (!info) {
            result.error = "'" + std::string(word) + "' is not an option of " + name;
            return result;
        }
        if (!info->valueName.empty() && !info->repeatable) {
            if (std::find(given.begin(), given.end(), info->name) != given.end()) {
                result.error = std::string(info->name) + " is given twice";
                return result;
            }
            given.push_back(info->name);
        }
        std::string_view value;
        if (info->valueName.empty()) {
            if (inlineValue) {
                result.error = std::string(info->name) + " takes no value";
                return result;
            }
        } else if (inlineValue) {
            value = *inlineValue;
        } else if (i + 1 < arguments.size()) {
            value = arguments[++i];
        } else {
            result.error = std::string(info->name) + " needs a value (" + std::string(info->valueName) + ")";
            return result;
        }
        if (std::string error = info->apply(options, value); !error.empty()) {
            result.error = std::move(error);
            return result;
        }
    }
    result.options = std::move(options);
    return result;
}

namespace {

void AppendOptions(std::string& text, std::span<const OptionInfo> infos, std::size_t indent) {
    for (const OptionInfo& info : infos) {
        std::string left(indent, ' ');
        if (!info.alias.empty()) left += std::string(info.alias) + ", ";
        left += info.name;
        if (!info.valueName.empty()) left += " " + std::string(info.valueName);
        if (left.size() < 28) left.resize(28, ' ');
        else left += "  ";
        text += left + std::string(info.help) + "\n";
    }
}

}  // namespace

std::string HelpText(std::span<const Command> commands, std::string_view programName) {
    const std::string program(programName);
    std::string text = "Usage: " + program + " COMMAND [options]\n"
                       "Runs the service tool without its window: the same connect, read and\n"
                       "poll steps, frames and pacing as the window's buttons.\n\nCommands:\n";
    for (const Command& command : commands) {
        text += "  " + program + " " + std::string(command.name);
        if (!command.arguments.empty()) text += " " + std::string(command.arguments);
        text += "\n      " + std::string(command.summary) + "\n";
        AppendOptions(text, command.options, 6);
    }
    text += "\nOptions of every command:\n";
    AppendOptions(text, CommonOptions(), 2);
    text += "\nResults go to standard output; progress, the status line and the trace to\n"
            "standard error. As at every start of the window, the default curve Cur_00.txt is\n"
            "written anew in the program's directory (or the per-user data directory when that\n"
            "cannot be written); the stored language choice is only read.\n\nExit status:\n"
            "  0  done\n"
            "  2  bad usage\n"
            "  3  no ECU found on any port\n"
            "  4  bad input, refused before anything is sent: a name without \"Cur\" in front\n"
            "     of its last ten characters, a file that cannot be read or written, a curve the\n"
            "     ECU cannot take (the band and point are named), a setting value outside its\n"
            "     range (the setting and its range are named; no port is opened); or results\n"
            "     that could not be written to standard output (a full disk)\n"
            "  5  the ECU stopped answering (no reply for 3 s, as the window's link watch counts),\n"
            "     or the link went before the exchange ended (write-curve: also the read before\n"
            "     the write, which then writes nothing)\n"
            "  6  the ECU reports afterwards other than was written: the curve read back, a\n"
            "     setting read back, or a fault record still set after faults --clear\n"
            "  7  calibrate: the run ended by an engine speed, gas pressure, reducer temperature\n"
            "     or injection time fault, without the petrol times agreeing after eleven\n"
            "     corrections, or with a reference value the ECU could not take\n";
    return text;
}

}  // namespace gasecu::cli
