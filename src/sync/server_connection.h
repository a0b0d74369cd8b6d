#pragma once
// One connection to the workshop's PostgreSQL server, through the database's own
// client library. Every wait is bounded: the connection attempt, each statement
// and a server that stops answering mid-way (the TCP time-out), so that a sync
// ends with its cause instead of hanging the laptop's tool.
#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

typedef struct pg_conn PGconn;
typedef struct pg_result PGresult;

namespace gasecu::sync {

// A statement's rows as text (a NULL field is nullopt).
struct Rows {
    std::vector<std::vector<std::optional<std::string>>> rows;
};

class ServerConnection {
public:
    // Connects to `uri` (a postgresql:// address or key=value list). Refused,
    // with the reason, when the address holds a password: that belongs in the
    // password file. `timeout` bounds the attempt and each statement.
    static std::unique_ptr<ServerConnection> Connect(const std::string& uri, std::chrono::seconds timeout,
                                                     std::string* error);
    ~ServerConnection();
    ServerConnection(const ServerConnection&) = delete;
    ServerConnection& operator=(const ServerConnection&) = delete;

    // A statement without parameters (BEGIN, COMMIT, the schema); false with the reason.
    bool exec(const std::string& sql, std::string* error);
    // Prepares `sql` under `name` once for this connection.
    bool prepare(const std::string& name, const std::string& sql, int parameters, std::string* error);
    // Runs a prepared statement; its rows, or nothing with the reason.
    std::optional<Rows> run(const std::string& name, const std::vector<std::optional<std::string>>& parameters,
                            std::string* error);
    // Runs a prepared statement once for each parameter list, all sent before the
    // first answer is read (one round trip, not one each); false with the first
    // failure. Only for statements that return no rows.
    bool runEach(const std::string& name, const std::vector<std::vector<std::optional<std::string>>>& parameterLists,
                 std::string* error);
    // "host:port/database" for the fitter's eyes.
    std::string serverName() const;

private:
    explicit ServerConnection(PGconn* conn) : conn_(conn) {}
    std::optional<Rows> take(PGresult* result, const std::string& what, std::string* error);
    PGconn* conn_;
};

// "host:port/database" of an address, without user or password ("" when unreadable).
std::string ServerNameOf(const std::string& uri);

}  // namespace gasecu::sync
