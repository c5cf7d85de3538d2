// The MySQL check against the test MariaDB server: a monitoring login with a password,
// wrong credentials, an unknown and an empty database, and servers that refuse or never answer.
#include "LoopbackServers.h"
#include "checks/ThreadDBMySQLCheck.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>
#include <mysql.h>

#include <cstring>

using namespace velmora;

namespace {
const char* kUser = "velmon";
const char* kPassword = "mon pass 'quoted'";
const char* kDatabase = "velmora_mon_check";

class MySqlCheck : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        MYSQL* c = mysql_init(nullptr);
        ASSERT_TRUE(mysql_real_connect(c, "127.0.0.1", "root", "", nullptr,
                                       static_cast<unsigned>(test::ServerPort("mariadb")), nullptr, 0))
            << mysql_error(c);
        char escaped[128];
        mysql_real_escape_string(c, escaped, kPassword, std::strlen(kPassword));
        const std::string statements[] = {
            std::string("CREATE DATABASE IF NOT EXISTS ") + kDatabase,
            std::string("CREATE USER IF NOT EXISTS '") + kUser + "'@'127.0.0.1' IDENTIFIED BY '" + escaped + "'",
            std::string("GRANT SELECT ON ") + kDatabase + ".* TO '" + kUser + "'@'127.0.0.1'",
        };
        for (const auto& s : statements) ASSERT_EQ(mysql_query(c, s.c_str()), 0) << mysql_error(c);
        mysql_close(c);
    }

    static ThreadDBMySQLCheck Make(std::string port, std::string db, std::string user, std::string password) {
        return ThreadDBMySQLCheck(CheckContext{}, "127.0.0.1", std::move(port),
                                  {std::move(db), std::move(user), std::move(password), ""});
    }
};
} // namespace

TEST_F(MySqlCheck, LoginOutcomesAndTexts) {
    const std::string port = std::to_string(test::ServerPort("mariadb"));
    const std::string at = "[127.0.0.1:" + port + "@";

    auto ok = Make(port, kDatabase, kUser, kPassword);
    ok.Execute();
    EXPECT_TRUE(ok.passed);
    EXPECT_EQ(ok.status, "Passed");
    EXPECT_EQ(ok.result_text, at + kDatabase + " MySQL Connection Succeed]");

    // An empty database name is handed over as it is: nothing stands after "@".
    auto noDb = Make(port, "", kUser, kPassword);
    noDb.Execute();
    EXPECT_EQ(noDb.result_text, at + " MySQL Connection Succeed]");

    // The server's own refusal stands between "Error:" and "]".
    auto wrong = Make(port, kDatabase, kUser, "not it");
    wrong.Execute();
    EXPECT_FALSE(wrong.passed);
    EXPECT_EQ(wrong.status, "Failed");
    const std::string lead = at + kDatabase + " MySQL Connection Error:Access denied for user 'velmon'@";
    EXPECT_EQ(wrong.result_text.rfind(lead, 0), 0u) << wrong.result_text;
    EXPECT_EQ(wrong.result_text.back(), ']');
    EXPECT_GE(wrong.response_time, 0);

    auto unknown = Make(port, "no_such_db_here", kUser, kPassword);
    unknown.Execute();
    EXPECT_FALSE(unknown.passed);
    EXPECT_NE(unknown.result_text.find("@no_such_db_here MySQL Connection Error:"), std::string::npos);
    EXPECT_NE(unknown.result_text.find("no_such_db_here"), unknown.result_text.rfind("no_such_db_here"))
        << "the driver's message names the database: " << unknown.result_text;
}

TEST_F(MySqlCheck, RefusingAndSilentServersFailWithinTheLimits) {
    int closedPort = 0;
    ::close(test::BindLoopback(SOCK_STREAM, closedPort));
    auto refused = Make(std::to_string(closedPort), "db", "u", "p");
    refused.Execute();
    EXPECT_FALSE(refused.passed);
    EXPECT_EQ(refused.result_text.rfind("[127.0.0.1:" + std::to_string(closedPort) + "@db MySQL Connection Error:", 0), 0u)
        << refused.result_text;

    // Accepts and never says a word: the read limit ends the login.
    test::TcpServer silent([](int, const std::atomic<bool>& stop) {
        for (int i = 0; i < 60 && !stop; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    });
    auto quiet = Make(std::to_string(silent.port()), "db", "u", "p");
    quiet.SetTimeLimits(1, 1);
    quiet.Execute();
    EXPECT_FALSE(quiet.passed);
    EXPECT_LT(quiet.response_time, 3000);
    EXPECT_EQ(quiet.result_text.rfind("[127.0.0.1:" + std::to_string(silent.port()) + "@db MySQL Connection Error:", 0), 0u)
        << quiet.result_text;
}
