#pragma once
// The workshop's history server as one laptop knows it: the file "Sunucu" in the
// data directory, beside "Gecmis.db", with lines
//     uri=postgresql://fitter@server.local/gasecu?sslmode=verify-full
//     laptop=atolye-2
// The address never holds the password: that stays in the fitter's password file
// (~/.pgpass, mode 0600), where the database client looks for it. Without the
// file the laptop works alone, as it always has.
#include <filesystem>
#include <optional>
#include <string>

namespace gasecu::history {

inline constexpr const char* kServerFileName = "Sunucu";

struct ServerConfig {
    std::string uri;     // the connection address ("" when the file names no server)
    std::string laptop;  // this laptop's name in the workshop's history
};

// The file's content; nothing with the reason in *error when it holds a line it
// does not understand. A missing file gives an empty address and the host name.
std::optional<ServerConfig> ReadServerConfig(const std::filesystem::path& dataDirectory, std::string* error = nullptr);
std::optional<ServerConfig> ParseServerConfig(const std::string& text, std::string* error = nullptr);

// The name this laptop's records carry: the file's "laptop=", else the host name.
std::string LaptopName(const std::filesystem::path& dataDirectory);

}  // namespace gasecu::history
