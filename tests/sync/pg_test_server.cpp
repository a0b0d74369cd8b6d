// Starting and stopping the sync tests' PostgreSQL cluster.
#include "sync/pg_test_server.h"

#include <libpq-fe.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>

namespace gasecu::test {

namespace {

// Debian's server programs; GASECU_PG_BIN names others.
std::string ServerBin() {
    const char* own = std::getenv("GASECU_PG_BIN");
    return own && *own ? own : "/usr/lib/postgresql/15/bin";
}

// A port nobody listens on now (the kernel's choice for a socket bound to 0).
int FreePort() {
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof a;
    int port = 0;
    if (bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
        getsockname(s, reinterpret_cast<sockaddr*>(&a), &size) == 0)
        port = ntohs(a.sin_port);
    close(s);
    return port;
}

}  // namespace

PgTestServer& TheServer() {
    static PgTestServer server;
    return server;
}

bool PgTestServer::run(const std::string& command, std::string* error) const {
    const std::string line = asUser_ + command + " >>" + (dir_ / "commands.log").native() + " 2>&1";
    if (std::system(line.c_str()) == 0) return true;
    if (error) *error = "failed: " + line;
    return false;
}

bool PgTestServer::start(std::string* error) {
    char pattern[] = "/tmp/gasecu-pg-XXXXXX";
    if (!mkdtemp(pattern)) {
        *error = "no temporary folder";
        return false;
    }
    dir_ = pattern;
    if (geteuid() == 0) {
        asUser_ = "runuser -u postgres -- ";
        if (std::system(("chown postgres: " + dir_.native()).c_str()) != 0) {
            *error = "the user postgres is missing (scripts/bootstrap.sh installs postgresql-15)";
            return false;
        }
    }
    port_ = FreePort();
    return run(ServerBin() + "/initdb -D " + (dir_ / "data").native() +
                   " -U postgres -A trust -E UTF8 --no-locale --no-sync",
               error) &&
           restart(error);
}

bool PgTestServer::restart(std::string* error) {
    const std::string options = "-p " + std::to_string(port_) + " -c listen_addresses=127.0.0.1 -c unix_socket_directories=" +
                                dir_.native() + " -c fsync=off -c synchronous_commit=off -c max_connections=30";
    return run(ServerBin() + "/pg_ctl -D " + (dir_ / "data").native() + " -l " + (dir_ / "server.log").native() +
                   " -w -o '" + options + "' start",
               error);
}

void PgTestServer::stopNow() { run(ServerBin() + "/pg_ctl -D " + (dir_ / "data").native() + " -w -m immediate stop", nullptr); }

void PgTestServer::remove() {
    if (dir_.empty()) return;
    stopNow();
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
    dir_.clear();
}

std::string PgTestServer::adminUri(const std::string& db) const {
    return "postgresql://postgres@127.0.0.1:" + std::to_string(port_) + "/" + db;
}
std::string PgTestServer::laptopUri(const std::string& db) const {
    return "postgresql://fitter@127.0.0.1:" + std::to_string(port_) + "/" + db;
}

std::string PgTestServer::sql(const std::string& db, const std::string& statement, std::string* firstValue) const {
    std::unique_ptr<PGconn, void (*)(PGconn*)> conn(PQconnectdb(adminUri(db).c_str()), PQfinish);
    if (PQstatus(conn.get()) != CONNECTION_OK) return PQerrorMessage(conn.get());
    PQsetNoticeProcessor(conn.get(), [](void*, const char*) {}, nullptr);
    std::unique_ptr<PGresult, void (*)(PGresult*)> result(PQexec(conn.get(), statement.c_str()), PQclear);
    const auto status = PQresultStatus(result.get());
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) return PQresultErrorMessage(result.get());
    if (firstValue && PQntuples(result.get()) > 0) *firstValue = PQgetvalue(result.get(), 0, 0);
    return {};
}

bool PgTestServer::createDatabase(const std::string& name, bool anyBytes, std::string* error) {
    // SQL_ASCII keeps any bytes: a server set up carelessly, where a record that
    // is not UTF-8 can stand.
    const std::string encoding = anyBytes ? " ENCODING 'SQL_ASCII' LC_COLLATE 'C' LC_CTYPE 'C' TEMPLATE template0" : "";
    *error = sql("postgres", "CREATE DATABASE " + name + encoding);
    return error->empty();
}

}  // namespace gasecu::test
