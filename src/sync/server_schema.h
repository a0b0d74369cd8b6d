#pragma once
// The workshop server's side: the records table every laptop appends to, its
// schema version, and the role the laptops connect as, which may insert and read
// records but never change or remove one. History on the server only grows.
#include <string>

namespace gasecu::sync {

class ServerConnection;

// The server schema this tool creates and syncs with.
inline constexpr int kServerSchemaVersion = 1;
// The role the laptops' own login roles are members of.
inline constexpr const char* kLaptopRole = "gasecu_laptop";

// Creates or upgrades the schema and the laptops' role in one transaction, as a
// user allowed to create tables and roles. The version it left, or -1 with the reason.
int InitServer(ServerConnection& server, std::string* error);

// The version the server's schema carries; -1 with the reason when it has none
// or cannot be read.
int ServerSchemaVersion(ServerConnection& server, std::string* error);

}  // namespace gasecu::sync
