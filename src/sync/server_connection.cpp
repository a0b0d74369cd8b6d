// The workshop server's connection through libpq.
#include "sync/server_connection.h"

#include <libpq-fe.h>

#include <memory>

namespace gasecu::sync {

namespace {

struct ConninfoFree {
    void operator()(PQconninfoOption* options) const { PQconninfoFree(options); }
};

// The value of `keyword` in a connection address; nullopt when it is not readable.
std::optional<std::string> Keyword(const std::string& uri, const char* keyword, std::string* error) {
    char* message = nullptr;
    std::unique_ptr<PQconninfoOption, ConninfoFree> options(PQconninfoParse(uri.c_str(), &message));
    if (!options) {
        if (error) *error = std::string("the server address is not readable: ") + (message ? message : "out of memory");
        PQfreemem(message);
        return std::nullopt;
    }
    for (PQconninfoOption* o = options.get(); o->keyword; ++o)
        if (std::string(o->keyword) == keyword) return o->val ? std::string(o->val) : std::string();
    return std::string();
}

std::string Trimmed(const char* text) {
    std::string s = text ? text : "";
    while (!s.empty() && (s.back() == '\n' || s.back() == ' ')) s.pop_back();
    return s;
}

}  // namespace

std::unique_ptr<ServerConnection> ServerConnection::Connect(const std::string& uri, std::chrono::seconds timeout,
                                                            std::string* error) {
    const auto password = Keyword(uri, "password", error);
    if (!password) return nullptr;
    if (!password->empty()) {
        if (error)
            *error = "the server address holds a password: remove it and put it in the password file (~/.pgpass, mode 0600)";
        return nullptr;
    }
    const std::string seconds = std::to_string(timeout.count());
    const std::string milliseconds = std::to_string(timeout.count() * 1000);
    // synchronous_commit on, whatever the server's default: a record this laptop
    // notes as sent must be on the server's disk, not in a buffer a crash loses.
    const std::string statementTimeout = "-c statement_timeout=" + milliseconds + " -c synchronous_commit=on";
    // The address first (its host, database, user and sslmode stand); the
    // keywords after it override it, so the waits are bounded whatever it says.
    const char* keywords[] = {"dbname", "connect_timeout", "keepalives", "keepalives_idle", "keepalives_interval",
                              "keepalives_count", "tcp_user_timeout", "client_encoding", "application_name",
                              "options", nullptr};
    // The text as the server holds it, unconverted: a server that keeps any bytes
    // (SQL_ASCII) would otherwise refuse to send a whole batch for one record that
    // is not UTF-8. This side checks every record's text itself; what it sends is
    // valid UTF-8, which a UTF8 server checks again.
    const char* values[] = {uri.c_str(), seconds.c_str(), "1", "5", "2", "3", milliseconds.c_str(), "SQL_ASCII",
                            "gasecu", statementTimeout.c_str(), nullptr};
    PGconn* conn = PQconnectdbParams(keywords, values, 1);
    if (!conn || PQstatus(conn) != CONNECTION_OK) {
        if (error) *error = "cannot reach the server: " + (conn ? Trimmed(PQerrorMessage(conn)) : std::string("out of memory"));
        PQfinish(conn);
        return nullptr;
    }
    // The server's notices ("already exists, skipping") are no news for the fitter.
    PQsetNoticeProcessor(conn, [](void*, const char*) {}, nullptr);
    return std::unique_ptr<ServerConnection>(new ServerConnection(conn));
}

ServerConnection::~ServerConnection() { PQfinish(conn_); }

std::optional<Rows> ServerConnection::take(PGresult* result, const std::string& what, std::string* error) {
    const ExecStatusType status = result ? PQresultStatus(result) : PGRES_FATAL_ERROR;
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
        if (error) {
            *error = what + ": " + Trimmed(result ? PQresultErrorMessage(result) : PQerrorMessage(conn_));
            if (PQstatus(conn_) != CONNECTION_OK) *error = "lost the server (" + *error + ")";
        }
        PQclear(result);
        return std::nullopt;
    }
    Rows rows;
    const int count = PQntuples(result), fields = PQnfields(result);
    rows.rows.reserve(static_cast<std::size_t>(count));
    for (int r = 0; r < count; ++r) {
        auto& row = rows.rows.emplace_back();
        for (int f = 0; f < fields; ++f) {
            if (PQgetisnull(result, r, f)) row.emplace_back();
            else row.emplace_back(std::string(PQgetvalue(result, r, f), static_cast<std::size_t>(PQgetlength(result, r, f))));
        }
    }
    PQclear(result);
    return rows;
}

bool ServerConnection::exec(const std::string& sql, std::string* error) {
    return take(PQexec(conn_, sql.c_str()), sql.substr(0, sql.find(' ')), error).has_value();
}

bool ServerConnection::prepare(const std::string& name, const std::string& sql, int parameters, std::string* error) {
    return take(PQprepare(conn_, name.c_str(), sql.c_str(), parameters, nullptr), "preparing " + name, error)
        .has_value();
}

std::optional<Rows> ServerConnection::run(const std::string& name,
                                          const std::vector<std::optional<std::string>>& parameters,
                                          std::string* error) {
    std::vector<const char*> values;
    values.reserve(parameters.size());
    for (const auto& p : parameters) values.push_back(p ? p->c_str() : nullptr);
    return take(PQexecPrepared(conn_, name.c_str(), static_cast<int>(values.size()), values.data(), nullptr, nullptr, 0),
                name, error);
}

bool ServerConnection::runEach(const std::string& name,
                               const std::vector<std::vector<std::optional<std::string>>>& parameterLists,
                               std::string* error) {
    if (PQenterPipelineMode(conn_) != 1) {
        if (error) *error = name + ": " + Trimmed(PQerrorMessage(conn_));
        return false;
    }
    std::size_t sent = 0;
    for (const auto& parameters : parameterLists) {
        std::vector<const char*> values;
        values.reserve(parameters.size());
        for (const auto& p : parameters) values.push_back(p ? p->c_str() : nullptr);
        if (!PQsendQueryPrepared(conn_, name.c_str(), static_cast<int>(values.size()), values.data(), nullptr, nullptr, 0))
            break;
        ++sent;
    }
    bool ok = sent == parameterLists.size() && PQpipelineSync(conn_) == 1;
    std::string first = ok ? std::string() : Trimmed(PQerrorMessage(conn_));
    // Each statement's result, then the end of its results; after all of them the sync point.
    for (std::size_t i = 0; i < sent && PQstatus(conn_) == CONNECTION_OK; ++i) {
        while (PGresult* result = PQgetResult(conn_)) {
            const ExecStatusType status = PQresultStatus(result);
            if (status != PGRES_COMMAND_OK && ok) {
                ok = false;
                first = Trimmed(PQresultErrorMessage(result));
            }
            PQclear(result);
        }
    }
    if (PQstatus(conn_) == CONNECTION_OK && sent == parameterLists.size()) {
        while (PGresult* result = PQgetResult(conn_)) {
            const bool end = PQresultStatus(result) == PGRES_PIPELINE_SYNC;
            PQclear(result);
            if (end) break;
        }
    }
    if (PQstatus(conn_) != CONNECTION_OK && ok) {
        ok = false;
        first = Trimmed(PQerrorMessage(conn_));
    }
    PQexitPipelineMode(conn_);
    if (!ok && error) {
        *error = name + ": " + first;
        if (PQstatus(conn_) != CONNECTION_OK) *error = "lost the server (" + *error + ")";
    }
    return ok;
}

std::string ServerConnection::serverName() const {
    const char* host = PQhost(conn_);
    std::string name = host && host[0] != '/' ? host : "localhost";
    return name + ":" + PQport(conn_) + "/" + PQdb(conn_);
}

std::string ServerNameOf(const std::string& uri) {
    const auto host = Keyword(uri, "host", nullptr);
    const auto db = Keyword(uri, "dbname", nullptr);
    if (!host || !db) return {};
    std::string name = host->empty() || (*host)[0] == '/' ? "localhost" : *host;
    const auto port = Keyword(uri, "port", nullptr);
    if (port && !port->empty()) name += ":" + *port;
    return name + "/" + *db;
}

}  // namespace gasecu::sync
