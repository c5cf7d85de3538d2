#pragma once
// The suite's private MariaDB server, started by tests/servers/mariadb.sh as a CTest fixture.
#include "store/ZUVOzedovUzivara.h"

#include <string>

namespace velmora::test {

// Root without password on the server, with `database` as the default database.
ConnectionParams TestServerParams(const std::string& database = "mysql");

// Points the program's settings at the server: 127.0.0.1, its port, root, no password.
void UseTestServer();

// Drops velmoradb, so that the next OpenAtStart creates it afresh.
void DropProgramDatabase();

} // namespace velmora::test
