// velmoractl check against the same loopback targets as the check tests: same texts.
#include "FixtureServers.h"
#include "tests/support/TestSupport.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <sys/wait.h>

using velmora::test::FixtureTcpServer;

namespace {

struct CliResult {
    int exit;
    std::string out;
};

std::string Quote(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

CliResult Cli(const std::vector<std::string>& args) {
    std::string cmd = Quote(VELMORACTL_PATH) + " check";
    for (const auto& a : args) cmd += " " + Quote(a);
    cmd += " 2>/dev/null";
    FILE* p = ::popen(cmd.c_str(), "r");
    std::string out;
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    const int st = ::pclose(p);
    return {WIFEXITED(st) ? WEXITSTATUS(st) : -1, out};
}

// The three lines without the time value.
std::string Lines(const std::string& text, const char* status) {
    return text + "\nstatus: " + status + "\nresponse_time_ms: ";
}

} // namespace

TEST(VelmoractlCheck, TextsAndExitCodes) {
    FixtureTcpServer banner(FixtureTcpServer::SendAndHold("220 service ready\r\n"));
    const std::string bp = std::to_string(banner.Port());
    const std::string closed = std::to_string(velmora::test::ClosedTcpPort());
    velmora::test::UdpEchoServer echo("re:");
    const std::string ep = std::to_string(echo.Port());
    const std::string a = "http://127.0.0.1:" + std::to_string(velmora::test::ServerPort("nginx"));
    struct Case {
        std::vector<std::string> args;
        int exit;
        std::string start;
    } cases[] = {
        {{"--type", "TCP", "--host", "127.0.0.1", "--port", bp}, 0,
         Lines("[127.0.0.1:" + bp + " TCP Connection Succeed]", "Passed")},
        {{"--type", "TCP", "--host", "127.0.0.1", "--port", bp, "--set", "command=HELO x"}, 0,
         Lines("[127.0.0.1:" + bp + " TCP Connection Succeed] [Send Command succeed: Response Code=220|Response Text=SERVICE READY]", "Passed")},
        {{"--type", "TCP", "--host", "127.0.0.1", "--port", closed}, 1,
         Lines("[127.0.0.1:" + closed + " TCP Connection Error:ERR10003 Invalid Host/IP]", "Failed")},
        {{"--type", "TCP", "--host", "", "--port", "80"}, 1, Lines("[:80 TCP Connection Error:ERR10001 Host/IP required]", "Failed")},
        {{"--type", "TCP", "--host", "bad host", "--port", "80"}, 1,
         Lines("[bad host:80 TCP Connection Error:ERR10003 Invalid Host/IP]", "Failed")},
        {{"--type", "TCP", "--host", "127.0.0.1", "--port", "65536"}, 1,
         Lines("[127.0.0.1:65536 TCP Connection Error:Port 65536 is out of range (1 to 65535).]", "Failed")},
        {{"--type", "UDP", "--host", "127.0.0.1", "--port", ep, "--set", "command=hello", "--set", "timeout=2000"}, 0,
         Lines("[127.0.0.1:" + ep + " UDP Send Data succeed: Response =RE:HELLO]", "Passed")},
        {{"--type", "Ping", "--host", "127.0.0.1"}, 0, Lines("[127.0.0.1 PING Succeed]", "Passed")},
        {{"--type", "Ping", "--host", "127.0.0.1", "--port", "80"}, 0, Lines("[127.0.0.1:80 PING Succeed]", "Passed")},
        {{"--type", "URL", "--host", a.substr(7) + "/", "--port", "80"}, 0,
         Lines("[" + a + "/:80 HTTP Request Succeed:HTTP/1.1 200 OK]", "Passed")},
        {{"--type", "URL", "--host", a + "/missing", "--port", "80"}, 1,
         Lines("[" + a + "/missing:80 HTTP Request Error:HTTP/1.1 404 Not Found]", "Failed")},
        {{"--type", "URL", "--host", "not a url"}, 1,
         Lines("[http://not a url:0 HTTP Request Error:URL using bad/illegal format or missing URL]", "Failed")},
        {{"--type", "URL", "--host", a + "/auth/", "--set", "username=checker", "--set", "password=Se cret"}, 0,
         Lines("[" + a + "/auth/:0 HTTP Request Succeed:HTTP/1.1 200 OK]", "Passed")},
    };
    for (const auto& c : cases) {
        const CliResult r = Cli(c.args);
        EXPECT_EQ(r.exit, c.exit) << r.out;
        EXPECT_EQ(r.out.rfind(c.start, 0), 0u) << r.out;
        EXPECT_EQ(r.out.back(), '\n');
    }
}

TEST(VelmoractlCheck, JsonAndFormFields) {
    const std::string a = "http://127.0.0.1:" + std::to_string(velmora::test::ServerPort("nginx"));
    CliResult r = Cli({"--type", "URL", "--host", a + "/", "--json"});
    EXPECT_EQ(r.exit, 0);
    EXPECT_EQ(r.out.rfind("{\"type\": \"URL\", \"host\": \"" + a + "/\", \"port\": \"0\", \"passed\": true, "
                          "\"status\": \"Passed\", \"result_text\": \"[" + a + "/:0 HTTP Request Succeed:HTTP/1.1 200 OK]\", "
                          "\"response_time_ms\": ", 0),
              0u)
        << r.out;
    r = Cli({"--type", "URL", "--host", a + "/method", "--set", "url_method=Post", "--field", "q=a b", "--json"});
    EXPECT_EQ(r.exit, 0) << r.out;  // the form post reaches nginx and is answered
}

TEST(VelmoractlCheck, BadUsage) {
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"--type", "TCP"},
        {"--host", "127.0.0.1"},
        {"--type", "LDAP", "--host", "127.0.0.1"},
        {"--type", "TCP", "--host", "127.0.0.1", "--port", "eighty"},
        {"--type", "TCP", "--host", "127.0.0.1", "--set", "no_such_column=1"},
        {"--type", "TCP", "--host", "127.0.0.1", "--set", "command"},
        {"--type", "URL", "--host", "h", "--field", "=x"},
        {"--type", "TCP", "--host", "127.0.0.1", "--bogus"},
        {"--type", "TCP", "--host"},
        {"--id", "1", "--type", "TCP"},
    };
    for (const auto& args : cases) {
        const CliResult r = Cli(args);
        EXPECT_EQ(r.exit, 2) << (args.empty() ? "" : args[0]);
        EXPECT_EQ(r.out, "");
    }
}
