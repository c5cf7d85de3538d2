// velmoractl check --id: the stored service, read from the real database server, is built
// and run like the engine would.
#include "FixtureServers.h"
#include "store/ServiceRecords.h"
#include "tests/integration/store/StoreDbTest.h"

#include <cstdio>
#include <filesystem>
#include <sys/wait.h>

using namespace velmora;
using namespace velmora::test;

namespace {

std::pair<int, std::string> Ctl(const std::string& args) {
    const std::string cmd = std::string(VELMORACTL_PATH) + " check " + args + " 2>/dev/null";
    FILE* p = ::popen(cmd.c_str(), "r");
    std::string out;
    char buf[4096];
    for (size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
    const int st = ::pclose(p);
    return {WIFEXITED(st) ? WEXITSTATUS(st) : -1, out};
}

class CheckIdTest : public StoreDbTest {
protected:
    void SetUp() override {
        StoreDbTest::SetUp();
        std::filesystem::create_directories(app / "conf");
        WriteFile(app / "conf/SysInit.ini",
                  "[Database]\r\nHost=127.0.0.1\r\nPort=" + std::to_string(ServerPort("mariadb")) + "\r\n");
    }
    long long Insert(ZUVOzedovUzivara& db, std::initializer_list<std::pair<const char*, std::string>> cols) {
        ServiceRow row;
        for (const auto& [k, v] : cols) row.Set(k, v);
        std::string error;
        EXPECT_TRUE(InsertServiceRow(row, &error, db)) << error;
        return db.Query("select max(id) as id from service")[0].GetInt("id");
    }
    TempDir app;
};

} // namespace

TEST_F(CheckIdTest, RunsTheStoredService) {
    ZUVOzedovUzivara db;
    CreateFresh(db);
    FixtureTcpServer banner(FixtureTcpServer::SendAndHold("220 stored target ready\r\n"));
    const std::string port = std::to_string(banner.Port());
    const long long tcp = Insert(db, {{"service", "TCP"}, {"ip", "127.0.0.1"}, {"port", port}, {"title", "t"},
                                      {"command", "NOOP"}, {"timeout", "2000"}, {"read_timeout", "2000"}});
    const long long ping = Insert(db, {{"service", "Ping"}, {"ip", "127.0.0.1"}, {"port", "0"}, {"title", "p"}});
    const long long ldap = Insert(db, {{"service", "LDAP"}, {"ip", "127.0.0.1"}, {"title", "l"}});

    auto [code, out] = Ctl("--id " + std::to_string(tcp) + " --app-dir " + app.path());
    EXPECT_EQ(code, 0) << out;
    EXPECT_EQ(out.rfind("[127.0.0.1:" + port +
                            " TCP Connection Succeed] [Send Command succeed: Response Code=220|Response Text=STORED TARGET READY]\n"
                            "status: Passed\nresponse_time_ms: ",
                        0),
              0u)
        << out;

    std::tie(code, out) = Ctl("--id " + std::to_string(ping) + " --json --app-dir " + app.path());
    EXPECT_EQ(code, 0) << out;
    EXPECT_NE(out.find("\"result_text\": \"[127.0.0.1 PING Succeed]\""), std::string::npos) << out;

    std::tie(code, out) = Ctl("--id " + std::to_string(ldap) + " --app-dir " + app.path());
    EXPECT_EQ(code, 2);
    std::tie(code, out) = Ctl("--id 99999 --app-dir " + app.path());
    EXPECT_EQ(code, 2);
    EXPECT_EQ(out, "");
}
