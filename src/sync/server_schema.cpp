// Creating and upgrading the workshop server's schema.
#include "sync/server_schema.h"

#include "sync/server_connection.h"

namespace gasecu::sync {

namespace {

// Version 0 to 1. `seq` orders the records as the server took them: a laptop
// reads on from the last one it has. `uid` makes a record sent twice (a sync cut
// after the server took it, before the laptop noted it) one record.
constexpr const char* kServerSchemaV1 =
    "CREATE TABLE gasecu_records ("
    " seq bigserial PRIMARY KEY,"
    " uid text NOT NULL UNIQUE,"
    " laptop text NOT NULL,"
    " time text NOT NULL,"
    " port text NOT NULL,"
    " kind text NOT NULL,"
    " result text NOT NULL,"
    " label text NOT NULL,"
    " curve text,"
    " settings text,"
    " slope_factor double precision,"
    " iterations integer,"
    " detail text NOT NULL,"
    " received timestamptz NOT NULL DEFAULT now());"
    "CREATE INDEX gasecu_records_by_laptop ON gasecu_records (laptop, seq);";

// Every version: the laptops' role and what it may do. Only INSERT and SELECT:
// no laptop, nor anyone who took a laptop's password, can rewrite the workshop's past.
constexpr const char* kLaptopRights =
    "DO $$ BEGIN"
    " IF NOT EXISTS (SELECT FROM pg_roles WHERE rolname = 'gasecu_laptop') THEN"
    "  CREATE ROLE gasecu_laptop NOLOGIN;"
    " END IF; END $$;"
    "REVOKE ALL ON gasecu_records, gasecu_schema FROM PUBLIC, gasecu_laptop;"
    "GRANT SELECT, INSERT ON gasecu_records TO gasecu_laptop;"
    "GRANT SELECT ON gasecu_schema TO gasecu_laptop;"
    "REVOKE ALL ON SEQUENCE gasecu_records_seq_seq FROM PUBLIC, gasecu_laptop;"
    "GRANT USAGE ON SEQUENCE gasecu_records_seq_seq TO gasecu_laptop;";

}  // namespace

int ServerSchemaVersion(ServerConnection& server, std::string* error) {
    if (!server.prepare("schema_version", "SELECT coalesce(max(version), 0) FROM gasecu_schema", 0, error))
        return -1;
    const auto rows = server.run("schema_version", {}, error);
    if (!rows || rows->rows.empty() || !rows->rows[0][0]) return -1;
    return std::stoi(*rows->rows[0][0]);
}

int InitServer(ServerConnection& server, std::string* error) {
    if (!server.exec("BEGIN", error)) return -1;
    // Two set-ups at once: the second waits here, then finds the first one's work.
    bool ok = server.exec("SELECT pg_advisory_xact_lock(7433001)", error) &&
              server.exec("CREATE TABLE IF NOT EXISTS gasecu_schema (version integer NOT NULL)", error);
    int version = ok ? ServerSchemaVersion(server, error) : -1;
    ok = version >= 0;
    if (ok && version > kServerSchemaVersion) {
        if (error) *error = "the server's schema (version " + std::to_string(version) + ") is newer than this tool's";
        ok = false;
    }
    if (ok && version < 1) ok = server.exec(kServerSchemaV1, error);
    if (ok) ok = server.exec("DELETE FROM gasecu_schema", error) &&
                 server.exec("INSERT INTO gasecu_schema (version) VALUES (" + std::to_string(kServerSchemaVersion) + ")",
                             error) &&
                 server.exec(kLaptopRights, error);
    if (ok && server.exec("COMMIT", error)) return kServerSchemaVersion;
    std::string ignored;
    server.exec("ROLLBACK", &ignored);
    return -1;
}

}  // namespace gasecu::sync
