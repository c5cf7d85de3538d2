// velmoractl import and services against the real server.
#include "StoreDbTest.h"

#include <cstdio>
#include <filesystem>
#include <sys/wait.h>

using namespace velmora;
using namespace velmora::test;

namespace {

struct CtlRun {
    int code = -1;
    std::string out;
};

CtlRun Ctl(const std::string& args) {
    const std::string cmd = BinaryDir() + "/cli/velmoractl " + args + " 2>/dev/null";
    CtlRun r;
    FILE* p = ::popen(cmd.c_str(), "r");
    if (!p) {
        return r;
    }
    char buf[4096];
    for (size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;) {
        r.out.append(buf, n);
    }
    const int st = ::pclose(p);
    r.code = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return r;
}

class CliTest : public StoreDbTest {
protected:
    void SetUp() override {
        StoreDbTest::SetUp();
        std::filesystem::create_directories(app / "conf");
        WriteFile(app / "conf/SysInit.ini",
                  "[Database]\r\nHost=127.0.0.1\r\nPort=" + std::to_string(ServerPort("mariadb")) + "\r\n");
    }
    TempDir app;
};

TEST_F(CliTest, ImportThenList) {
    WriteFile(app / "s.csv", "1,7,5,Web,1,HTTP://10.0.0.9/Status,80,3,1,,,\n"
                             "1,1,1,NoHost,3,,22,1,1,,,\n"
                             "3,0,10,Ping \"me\",2,alpha,0,1,1,,,\n");
    CtlRun r = Ctl("import csv " + app / "s.csv" + " --app-dir " + app.path());
    EXPECT_EQ(r.code, 0) << r.out;
    EXPECT_EQ(r.out, "stored 2 service(s), skipped 1\n"
                     "  skipped line 2: no host (the sixth field is empty or missing)\n");

    WriteFile(app / "service.xml", "<s><i><service>TCP</service><ip>beta</ip><port>22</port>"
                                   "<title>Ssh</title><schedule_by>Hourly</schedule_by>"
                                   "<schedule_minute>07</schedule_minute></i></s>");
    r = Ctl("import xml " + app / "service.xml" + " --app-dir " + app.path());
    EXPECT_EQ(r.code, 0) << r.out;
    EXPECT_EQ(r.out, "stored 1 service(s), skipped 0\n");

    r = Ctl("services --app-dir " + app.path());
    EXPECT_EQ(r.code, 0);
    const std::vector<std::string> lines = [&] {
        std::vector<std::string> v;
        size_t s = 0;
        for (size_t p; (p = r.out.find('\n', s)) != std::string::npos; s = p + 1) {
            v.push_back(r.out.substr(s, p - s));
        }
        return v;
    }();
    ASSERT_EQ(lines.size(), 4u) << r.out;
    EXPECT_TRUE(lines[0].starts_with("Title")) << lines[0];
    for (const char* h : {"Service", "IP", "Port", "Schedule", "Con Error", "Last Access", "Result"}) {
        EXPECT_NE(lines[0].find(h), std::string::npos) << h;
    }
    // Sorted by ip: 10.0.0.9/status, alpha, beta.
    EXPECT_TRUE(lines[1].starts_with("Web ")) << lines[1];
    EXPECT_NE(lines[1].find("Daily on 07:05"), std::string::npos);
    EXPECT_TRUE(lines[2].starts_with("Ping \"me\"")) << lines[2];
    EXPECT_NE(lines[2].find("---"), std::string::npos);
    EXPECT_NE(lines[2].find("every 10 min"), std::string::npos);
    EXPECT_NE(lines[3].find("Hourly on 07 min"), std::string::npos) << lines[3];
    EXPECT_NE(lines[3].find("Unknown"), std::string::npos);

    r = Ctl("services --json --app-dir " + app.path());
    EXPECT_EQ(r.code, 0);
    EXPECT_TRUE(r.out.starts_with("[\n  {\"id\": 1, \"title\": \"Web\", \"service\": \"URL\", \"ip\": "
                                  "\"10.0.0.9/status\", \"port\": \"80\", \"schedule\": \"Daily on 07:05\", "
                                  "\"con_error\": \"0\", \"last_access\": \""))
        << r.out;
    EXPECT_NE(r.out.find("\"title\": \"Ping \\\"me\\\"\""), std::string::npos) << r.out;
}

TEST_F(CliTest, BadUsageAndUnreachableDatabase) {
    EXPECT_EQ(Ctl("import --app-dir " + app.path()).code, 2);
    EXPECT_EQ(Ctl("import pdf x --app-dir " + app.path()).code, 2);
    EXPECT_EQ(Ctl("services --wide --app-dir " + app.path()).code, 2);
    CtlRun r = Ctl("import csv " + app / "missing.csv" + " --app-dir " + app.path());
    EXPECT_EQ(r.code, 1);
    WriteFile(app / "conf/SysInit.ini", "[Database]\r\nHost=127.0.0.1\r\nPort=" +
                                            std::to_string(ServerPort("mariadb")) + "\r\nDBPassword=wrong\r\n");
    EXPECT_EQ(Ctl("services --app-dir " + app.path()).code, 1);
}

} // namespace
