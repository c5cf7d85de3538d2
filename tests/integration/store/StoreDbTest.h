#pragma once
// Common set-up of the store's tests against the private MariaDB server: settings pointing
// at it, a fresh application directory, and velmoradb dropped before each test.
#include "store/ZUVOzedovUzivara.h"

#include "tests/support/TestSupport.h"

#include "foundation/InitSettings.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace velmora::test {

inline ConnectionParams ServerParams(const std::string& database = "mysql") {
    ConnectionParams p;
    p.host = "127.0.0.1";
    p.port = static_cast<unsigned>(ServerPort("mariadb"));
    p.user = "root";
    p.database = database;
    return p;
}

// Runs tests/servers/mariadb.sh with `command` (restart, stop, start) on the suite's server.
inline void ServerCommand(const std::string& command) {
    const char* state = std::getenv("VELMORA_TEST_STATE");
    const std::string cmd = "bash " + SourceDir() + "/tests/servers/mariadb.sh " + command + " " +
                            (state ? state : "") + " >/dev/null 2>&1";
    ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
}

inline int CountLines(const std::string& text, const std::string& what) {
    int n = 0;
    for (size_t p = text.find(what); p != std::string::npos; p = text.find(what, p + 1)) {
        ++n;
    }
    return n;
}

class StoreDbTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_GT(ServerPort("mariadb"), 0) << "the mariadb fixture did not start";
        TInitSettings& s = InitSettings();
        s.Host = "127.0.0.1";
        s.Port = std::to_string(ServerPort("mariadb"));
        s.DBUsername = "root";
        s.DBPassword = "";
        admin.Open(ServerParams());
        admin.Execute("drop database if exists velmoradb");
    }

    // A connected data module on a freshly created velmoradb.
    void CreateFresh(ZUVOzedovUzivara& db) {
        ASSERT_TRUE(db.OpenAtStart());
    }

    AppDirScope scope;
    ZUVOzedovUzivara admin;
};

} // namespace velmora::test
