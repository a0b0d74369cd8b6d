#pragma once
// A real PostgreSQL 15 server for the sync tests: its own cluster in a temporary
// folder, listening on 127.0.0.1 only, run as an unprivileged user (the server
// refuses root: as root the cluster belongs to the "postgres" user), stopped and
// removed at the end of the test program.
#include <filesystem>
#include <string>

namespace gasecu::test {

class PgTestServer {
public:
    // Starts the cluster; false with the reason.
    bool start(std::string* error);
    // Stops it at once, as a pulled cable or a crashed server would.
    void stopNow();
    bool restart(std::string* error);
    void remove();

    // A database of its own for one test, its schema made by server-init's code
    // and the login role "fitter" a member of the laptops' role.
    bool createDatabase(const std::string& name, bool anyBytes, std::string* error);
    std::string adminUri(const std::string& db) const;
    std::string laptopUri(const std::string& db) const;
    // Runs SQL as the administrator; "" on success, else the server's message.
    std::string sql(const std::string& db, const std::string& statement, std::string* firstValue = nullptr) const;
    int port() const { return port_; }

private:
    bool run(const std::string& command, std::string* error) const;
    std::filesystem::path dir_;
    int port_ = 0;
    std::string asUser_;  // "runuser -u postgres -- " when running as root
};

// The one server of this test program.
PgTestServer& TheServer();

}  // namespace gasecu::test
