#pragma once
// Common set-up of the store's tests against the private MariaDB server: settings pointing
// at it, a fresh application directory, and velmoradb dropped before each test.
#include "store/ZUVOzedovUzivara.h"

#include "tests/support/TestDatabase.h"
#include "tests/support/TestSupport.h"

#include "foundation/InitSettings.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace velmora::test {

// Runs tests/servers/mariadb.sh with `command` (restart, stop, start) on the suite's server.
inline void ServerCommand(const std::string& command) {
    const char* state = std::getenv("VELMORA_TEST_STATE");
    const std::string cmd = "bash " + SourceDir() + "/tests/servers/mariadb.sh " + command + " " +
                            (state ? state : "") + " >/dev/null 2>&1";
    ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
}

class StoreDbTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_GT(ServerPort("mariadb"), 0) << "the mariadb fixture did not start";
        UseTestServer();
        admin.Open(TestServerParams());
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
