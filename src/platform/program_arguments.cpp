#include "platform/program_arguments.h"

#ifdef _WIN32
#include "platform/windows_api.h"
#include <shellapi.h>
#endif

namespace gasecu {

#ifdef _WIN32

namespace {

std::string Utf8FromWide(const wchar_t* text) {
    const int bytes = ::WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (bytes <= 1) return {};
    std::string out(static_cast<std::size_t>(bytes - 1), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), bytes, nullptr, nullptr);
    return out;
}

}  // namespace

std::vector<std::string> ProgramArguments(int argc, char** argv) {
    int count = 0;
    wchar_t** words = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    // The system's command line is the one argv came from; should it not be
    // readable, the narrow words are still better than none.
    if (!words) return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
    std::vector<std::string> arguments;
    for (int i = 1; i < count; ++i) arguments.push_back(Utf8FromWide(words[i]));
    ::LocalFree(words);
    return arguments;
}

#else

std::vector<std::string> ProgramArguments(int argc, char** argv) {
    return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

#endif

}  // namespace gasecu
