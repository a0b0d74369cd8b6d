// Reading the laptop's server file.
#include "history/server_config.h"

#include <fstream>
#include <sstream>
#include <system_error>

#include "platform/host_name.h"
#include "platform/long_path.h"

namespace gasecu::history {

namespace {

std::string Trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return {};
    const auto last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

}  // namespace

std::optional<ServerConfig> ParseServerConfig(const std::string& text, std::string* error) {
    ServerConfig config;
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    while (std::getline(lines, line)) {
        ++number;
        line = Trimmed(line);
        if (line.empty() || line[0] == '#') continue;
        const auto equals = line.find('=');
        const std::string key = equals == std::string::npos ? line : Trimmed(line.substr(0, equals));
        const std::string value = equals == std::string::npos ? std::string() : Trimmed(line.substr(equals + 1));
        if (key == "uri") config.uri = value;
        else if (key == "laptop") config.laptop = value;
        else {
            if (error) *error = "line " + std::to_string(number) + ": \"" + key + "\" is neither uri= nor laptop=";
            return std::nullopt;
        }
    }
    if (config.laptop.empty()) config.laptop = HostName();
    return config;
}

std::optional<ServerConfig> ReadServerConfig(const std::filesystem::path& dataDirectory, std::string* error) {
    const std::filesystem::path file = dataDirectory / kServerFileName;
    std::error_code ec;
    if (!std::filesystem::exists(file, ec)) return ParseServerConfig("", error);
    std::ifstream in(LongPath(file), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    if (!in) {
        if (error) *error = "cannot read the server file";
        return std::nullopt;
    }
    return ParseServerConfig(text.str(), error);
}

std::string LaptopName(const std::filesystem::path& dataDirectory) {
    const auto config = ReadServerConfig(dataDirectory);
    return config ? config->laptop : HostName();
}

}  // namespace gasecu::history
