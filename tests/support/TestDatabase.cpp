#include "TestDatabase.h"

#include "TestSupport.h"
#include "foundation/InitSettings.h"

namespace velmora::test {

ConnectionParams TestServerParams(const std::string& database) {
    ConnectionParams p;
    p.host = "127.0.0.1";
    p.port = static_cast<unsigned>(ServerPort("mariadb"));
    p.user = "root";
    p.database = database;
    return p;
}

void UseTestServer() {
    TInitSettings& s = InitSettings();
    s.Host = "127.0.0.1";
    s.Port = std::to_string(ServerPort("mariadb"));
    s.DBUsername = "root";
    s.DBPassword = "";
}

void DropProgramDatabase() {
    ZUVOzedovUzivara admin;
    admin.Open(TestServerParams());
    admin.Execute("drop database if exists velmoradb");
}

} // namespace velmora::test
