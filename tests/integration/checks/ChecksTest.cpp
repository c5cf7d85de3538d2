// TCP, UDP and Ping checks built from service rows, against fixture servers on loopback.
#include "FixtureServers.h"
#include "checks/CheckBuilders.h"
#include "checks/ThreadDBMySQLCheck.h"
#include "net/IcmpClient.h"
#include "tests/support/TestSupport.h"

#include <cstring>
#include <functional>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace velmora;
using velmora::test::FixtureTcpServer;

namespace {

struct Outcome {
    bool passed;
    std::string status;
    std::string text;
    long long ms;
};

Outcome RunRow(std::initializer_list<std::pair<const char*, std::string>> cols) {
    ServiceRow row;
    for (const auto& [k, v] : cols) row.Set(k, v);
    auto check = BuildCheck(row);
    if (!check) return {false, "", "<not built>", 0};
    check->Run();
    EXPECT_EQ(check->poolOutcome, PoolOutcome::Completed);
    EXPECT_EQ(check->passed, check->status == "Passed");
    return {check->passed, check->status, check->result_text, check->response_time};
}

std::string P(int port) { return std::to_string(port); }

} // namespace

TEST(TCPCheck, ConnectErrors) {
    const int closed = velmora::test::ClosedTcpPort();
    struct Case {
        std::string host, port, text;
    } cases[] = {
        {"127.0.0.1", P(closed), "[127.0.0.1:" + P(closed) + " TCP Connection Error:ERR10003 Invalid Host/IP]"},
        {"no..such.host", "80", "[no..such.host:80 TCP Connection Error:ERR10003 Invalid Host/IP]"},
        {"bad host", "80", "[bad host:80 TCP Connection Error:ERR10003 Invalid Host/IP]"},
    };
    for (const auto& c : cases) {
        const Outcome o = RunRow({{"service", "TCP"}, {"ip", c.host}, {"port", c.port}, {"timeout", "2000"}});
        EXPECT_FALSE(o.passed);
        EXPECT_EQ(o.status, "Failed");
        EXPECT_EQ(o.text, c.text);
    }
}

TEST(TCPCheck, ConnectTimeout) {
    velmora::test::FullBacklogServer full;
    const Outcome o = RunRow({{"service", "TCP"}, {"ip", "127.0.0.1"}, {"port", P(full.Port())}, {"timeout", "600"}});
    EXPECT_FALSE(o.passed);
    EXPECT_EQ(o.text, "[127.0.0.1:" + P(full.Port()) + " TCP Connection Error:ERR10004 Invalid Port]");
    EXPECT_GE(o.ms, 550);
    EXPECT_LT(o.ms, 2600);
}

TEST(TCPCheck, ConnectAndCommands) {
    FixtureTcpServer banner(FixtureTcpServer::SendAndHold("220 banner here\r\n"));
    FixtureTcpServer* answerSelf = nullptr;
    FixtureTcpServer answer([&](int fd, const std::atomic<bool>& s) { answerSelf->AnswerLine("220 service ready\r\n")(fd, s); });
    answerSelf = &answer;
    FixtureTcpServer* multiSelf = nullptr;
    FixtureTcpServer multi([&](int fd, const std::atomic<bool>& s) {
        multiSelf->AnswerLine("250-mail.example\r\n250-size 100\r\n250 help\r\n")(fd, s);
    });
    multiSelf = &multi;
    const std::string b = "[127.0.0.1:" + P(banner.Port()), a = "[127.0.0.1:" + P(answer.Port()),
                      m = "[127.0.0.1:" + P(multi.Port());
    struct Case {
        int port;
        std::string command, text;
    } cases[] = {
        {banner.Port(), "", b + " TCP Connection Succeed]"},
        {banner.Port(), "  \t ", b + " TCP Connection Succeed]"},
        {banner.Port(), "QUIT", b + " TCP Connection Succeed] [Send Command succeed: Response Code=220|Response Text=BANNER HERE]"},
        {answer.Port(), " HELO x ", a + " TCP Connection Succeed] [Send Command succeed: Response Code=220|Response Text=SERVICE READY]"},
        {multi.Port(), "EHLO me", m + " TCP Connection Succeed] [Send Command succeed: Response Code=250|Response Text=MAIL.EXAMPLE\r\nSIZE 100\r\nHELP]"},
    };
    for (const auto& c : cases) {
        const Outcome o = RunRow({{"service", "TCP"}, {"ip", "127.0.0.1"}, {"port", P(c.port)}, {"command", c.command},
                                  {"timeout", "2000"}, {"read_timeout", "2000"}});
        EXPECT_TRUE(o.passed) << o.text;
        EXPECT_EQ(o.status, "Passed");
        EXPECT_EQ(o.text, c.text);
    }
    EXPECT_EQ(answer.Received(), " HELO x \r\n");  // sent untrimmed, with CR LF
}

TEST(TCPCheck, ReadTimeoutAndClosingPeer) {
    FixtureTcpServer silent(FixtureTcpServer::Silent());
    const Outcome o = RunRow({{"service", "TCP"}, {"ip", "127.0.0.1"}, {"port", P(silent.Port())}, {"command", "HELO"},
                              {"timeout", "1000"}, {"read_timeout", "700"}});
    const std::string t = "[127.0.0.1:" + P(silent.Port());
    EXPECT_FALSE(o.passed);
    EXPECT_EQ(o.text, t + " TCP Connection Succeed] " + t + " Send Command Error:Read timed out.]");
    EXPECT_GE(o.ms, 650);
    EXPECT_LT(o.ms, 2700);

    FixtureTcpServer closing(FixtureTcpServer::CloseAtOnce());
    const Outcome c = RunRow({{"service", "TCP"}, {"ip", "127.0.0.1"}, {"port", P(closing.Port())}, {"command", "HELO"},
                              {"read_timeout", "3000"}});
    const std::string ct = "[127.0.0.1:" + P(closing.Port());
    EXPECT_FALSE(c.passed);
    EXPECT_EQ(c.text.rfind(ct + " TCP Connection Succeed] " + ct + " Send Command Error:Connection ", 0), 0u) << c.text;
    EXPECT_LT(c.ms, 2000);
}

TEST(TCPCheck, EndlessGarbageIsBounded) {
    FixtureTcpServer garbage([](int fd, const std::atomic<bool>& stopping) {
        const std::string chunk(65536, 'x');
        while (!stopping.load() && ::send(fd, chunk.data(), chunk.size(), MSG_NOSIGNAL) > 0) {
        }
    });
    const Outcome o = RunRow({{"service", "TCP"}, {"ip", "127.0.0.1"}, {"port", P(garbage.Port())}, {"command", "HELO"},
                              {"read_timeout", "1500"}});
    const std::string t = "[127.0.0.1:" + P(garbage.Port());
    EXPECT_FALSE(o.passed);
    EXPECT_EQ(o.text, t + " TCP Connection Succeed] " + t + " Send Command Error:Reply line too long.]");
    EXPECT_LT(o.ms, 3500);
}

TEST(TCPCheck, TlsVariant) {
    velmora::test::TempDir dir;
    velmora::test::MakeSelfSignedCert(dir.path());
    velmora::test::TlsFixtureServer server(dir / "cert.pem", dir / "key.pem", "220 secure ready\r\n");
    const std::string t = "[127.0.0.1:" + P(server.Port());
    const auto run = [&](std::initializer_list<std::pair<const char*, std::string>> extra) {
        ServiceRow row;
        for (const auto& [k, v] : std::initializer_list<std::pair<const char*, std::string>>{
                 {"service", "TCP"}, {"ip", "127.0.0.1"}, {"port", P(server.Port())}, {"command", "NOOP"},
                 {"ssl_enable", "y"}, {"ssl_peer", "n"}, {"ssl_fail", "n"}, {"ssl_once", "n"}, {"timeout", "2000"}})
            row.Set(k, v);
        for (const auto& [k, v] : extra) row.Set(k, v);
        auto c = BuildCheck(row);
        c->Run();
        return std::make_pair(c->passed, c->result_text);
    };
    auto [ok, text] = run({});
    EXPECT_TRUE(ok);
    EXPECT_EQ(text, t + " TCP Connection Succeed] [Send Command succeed: Response Code=220|Response Text=SECURE READY]");

    std::tie(ok, text) = run({{"ssl_peer", "y"}, {"ssl_root_cert_file", dir / "cert.pem"}, {"ssl_verify_depth", "3"}});
    EXPECT_TRUE(ok) << text;

    std::tie(ok, text) = run({{"ssl_peer", "y"}});  // no trusted root for a self-signed peer
    EXPECT_FALSE(ok);
    EXPECT_EQ(text.rfind(t + " TCP Connection Error:TLS handshake failed: ", 0), 0u) << text;

    std::tie(ok, text) = run({{"ssl_cert_file", "/nonexistent/client.pem"}});
    EXPECT_FALSE(ok);
    EXPECT_EQ(text.rfind(t + " TCP Connection Error:TLS certificate file cannot be loaded: /nonexistent/client.pem", 0), 0u)
        << text;

    std::tie(ok, text) = run({{"ssl_cipher_list", "NO-SUCH-CIPHER"}});
    EXPECT_FALSE(ok);
    EXPECT_EQ(text.rfind(t + " TCP Connection Error:TLS cipher list rejected: NO-SUCH-CIPHER", 0), 0u) << text;

    // The plain variant against the TLS server: connected, but the reply is not a line of text in time.
    std::tie(ok, text) = run({{"ssl_enable", "n"}, {"read_timeout", "500"}});
    EXPECT_FALSE(ok);
}

TEST(TCPCheck, TlsAgainstSilentServerIsBounded) {
    FixtureTcpServer silent(FixtureTcpServer::Silent());
    const Outcome o = RunRow({{"service", "TCP"}, {"ip", "127.0.0.1"}, {"port", P(silent.Port())}, {"ssl_enable", "y"},
                              {"timeout", "600"}, {"read_timeout", "600"}});
    EXPECT_FALSE(o.passed);
    EXPECT_EQ(o.text, "[127.0.0.1:" + P(silent.Port()) + " TCP Connection Error:TLS handshake timed out.]");
    EXPECT_LT(o.ms, 2600);
}

TEST(UDPCheck, AnswersSilenceAndUnreachable) {
    velmora::test::UdpEchoServer echo("re:");
    velmora::test::UdpEchoServer silent("", true);
    const int closed = velmora::test::ClosedUdpPort();
    const std::string e = "[127.0.0.1:" + P(echo.Port()), s = "[127.0.0.1:" + P(silent.Port()),
                      c = "[127.0.0.1:" + P(closed);

    Outcome o = RunRow({{"service", "UDP"}, {"ip", "127.0.0.1"}, {"port", P(echo.Port())}, {"command", " hello "},
                        {"buffer_size", "8192"}, {"timeout", "2000"}});
    EXPECT_TRUE(o.passed);
    EXPECT_EQ(o.text, e + " UDP Send Data succeed: Response =RE: HELLO]");
    EXPECT_EQ(echo.LastDatagram(), " hello ");

    o = RunRow({{"service", "UDP"}, {"ip", "127.0.0.1"}, {"port", P(silent.Port())}, {"command", "ping"}, {"timeout", "500"}});
    EXPECT_TRUE(o.passed);
    EXPECT_EQ(o.text, s + " UDP Send Data succeed: Response =]");
    EXPECT_GE(o.ms, 450);
    EXPECT_LT(o.ms, 2500);

    o = RunRow({{"service", "UDP"}, {"ip", "127.0.0.1"}, {"port", P(closed)}, {"command", "ping"}, {"timeout", "2000"}});
    EXPECT_FALSE(o.passed);
    EXPECT_EQ(o.text, " " + c + " UDP Send Data Error:Receive failed: Connection refused (port unreachable).]");

    o = RunRow({{"service", "UDP"}, {"ip", "no..such.host"}, {"port", "53"}, {"command", "x"}});
    EXPECT_FALSE(o.passed);
    EXPECT_EQ(o.text, "[no..such.host:53 UDP Connection Error:ERR10003 Invalid Host/IP]");
}

TEST(PingCheck, LoopbackAnswers) {
    struct Case {
        std::string host, port, text;
    } cases[] = {
        {"127.0.0.1", "0", "[127.0.0.1 PING Succeed]"},
        {"127.0.0.1", "80", "[127.0.0.1:80 PING Succeed]"},
        {"localhost", "0", "[localhost PING Succeed]"},
        {"::1", "0", "[::1 PING Succeed]"},
    };
    for (const auto& c : cases) {
        const Outcome o = RunRow({{"service", "Ping"}, {"ip", c.host}, {"port", c.port}, {"timeout", "2000"}});
        EXPECT_TRUE(o.passed) << o.text;
        EXPECT_EQ(o.text, c.text);
        EXPECT_LT(o.ms, 2000);
    }
    const Outcome bad = RunRow({{"service", "Ping"}, {"ip", "no..such.host"}, {"port", "0"}});
    EXPECT_FALSE(bad.passed);
    EXPECT_EQ(bad.text, "[no..such.host PING Error:ERR10003 Invalid Host/IP]");
}

namespace {

// Runs a Ping check in a child process inside a network namespace of its own (loopback only),
// with the namespace's ICMP settings given: silence without sending anything off the machine,
// or datagram ICMP sockets allowed for every group. Returns false when the system does not
// allow a namespace here. out.status tells which socket kind the client used.
bool PingInNamespace(const std::string& timeout, bool ignoreEcho, bool datagram, Outcome& out,
                     const std::string& port = "0") {
    const auto got = velmora::test::RunInLoopbackNamespace([&]() -> std::string {
        const auto sysctl = [](const char* path, const std::string& value) {
            const int fd = ::open(path, O_WRONLY);
            const bool ok = fd >= 0 && ::write(fd, value.data(), value.size()) == static_cast<ssize_t>(value.size());
            if (fd >= 0) ::close(fd);
            return ok;
        };
        if (!sysctl("/proc/sys/net/ipv4/icmp_echo_ignore_all", ignoreEcho ? "1" : "0") ||
            !sysctl("/proc/sys/net/ipv4/ping_group_range", datagram ? "0 2147483647" : "1 0")) {
            return "skip";
        }
        net::IcmpClient probe;
        probe.SetHost("127.0.0.1");
        probe.SetTimeout(1);
        try {
            probe.Ping();
        } catch (...) {
        }
        ServiceRow row;
        row.Set("service", "Ping");
        row.Set("ip", "127.0.0.1");
        row.Set("port", port);
        row.Set("timeout", timeout);
        auto c = BuildCheck(row);
        c->Run();
        return std::string(c->passed ? "1" : "0") + "|" + std::to_string(c->response_time) + "|" +
               (probe.UsedDatagramSocket() ? "dgram" : "raw") + "|" + c->result_text;
    });
    if (!got || *got == "skip") return false;
    const size_t a = got->find('|'), b = got->find('|', a + 1), c = got->find('|', b + 1);
    out.passed = (*got)[0] == '1';
    out.ms = std::stoll(got->substr(a + 1, b - a - 1));
    out.status = got->substr(b + 1, c - b - 1);
    out.text = got->substr(c + 1);
    return true;
}

} // namespace

TEST(PingCheck, SilenceFailsAfterTheTimeout) {
    Outcome o;
    if (!PingInNamespace("700", true, false, o)) GTEST_SKIP() << "no network namespace available";
    EXPECT_FALSE(o.passed);
    EXPECT_EQ(o.text, "[127.0.0.1 PING Failed]");
    EXPECT_GE(o.ms, 650);
    EXPECT_LT(o.ms, 2700);

    ASSERT_TRUE(PingInNamespace("0", true, false, o));  // 0 means 5000 ms
    EXPECT_FALSE(o.passed);
    EXPECT_GE(o.ms, 4900);
    EXPECT_LT(o.ms, 7000);

    ASSERT_TRUE(PingInNamespace("700", true, true, o, "80"));  // the same over a datagram socket
    EXPECT_EQ(o.status, "dgram");
    EXPECT_EQ(o.text, "[127.0.0.1:80 PING Failed]");
}

TEST(PingCheck, DatagramSocketWhereTheSystemAllowsIt) {
    Outcome o;
    if (!PingInNamespace("2000", false, true, o)) GTEST_SKIP() << "no network namespace available";
    EXPECT_EQ(o.status, "dgram");
    EXPECT_TRUE(o.passed);
    EXPECT_EQ(o.text, "[127.0.0.1 PING Succeed]");
    ASSERT_TRUE(PingInNamespace("2000", false, false, o));
    EXPECT_EQ(o.status, "raw");
    EXPECT_EQ(o.text, "[127.0.0.1 PING Succeed]");
}

// A name server that takes every query and never answers holds getaddrinfo() for its own
// retries (here 2 x 5 s); the checks give up on the lookup within their own timeout instead.
// Runs in a namespace whose resolver configuration points at such a server on 127.0.0.1:53.
TEST(CheckNameLookup, EndsWithinTheCheckTimeout) {
    velmora::test::TempDir dir;
    velmora::test::WriteFile(dir / "resolv.conf", "nameserver 127.0.0.1\noptions timeout:5 attempts:2\n");
    velmora::test::WriteFile(dir / "nsswitch.conf", "hosts: files dns\n");
    const std::string name = "unanswered.velmora.test";
    struct Case {
        const char* type;
        std::function<Outcome()> run;
        std::string expected;
    };
    const auto row = [&](const char* type, const char* port) {
        return [=] { return RunRow({{"service", type}, {"ip", name}, {"port", port}, {"timeout", "800"}, {"command", "ping"}}); };
    };
    const Case cases[] = {
        {"TCP", row("TCP", "80"), "[" + name + ":80 TCP Connection Error:ERR10003 Invalid Host/IP]"},
        {"UDP", row("UDP", "7"), "[" + name + ":7 UDP Connection Error:ERR10003 Invalid Host/IP]"},
        {"MySQL",
         [&] {
             ThreadDBMySQLCheck c(CheckContext{}, name, "3306", MySqlCheckSettings{"mysql", "root", "", ""});
             c.SetTimeLimits(1, 1);
             c.Run();
             return Outcome{c.passed, c.status, c.result_text, c.response_time};
         },
         "[" + name + ":3306@mysql MySQL Connection Error:Unknown server host '" + name + "' (-3)]"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        const auto got = velmora::test::RunInLoopbackNamespace(
            [&]() -> std::string {
                if (::mount((dir / "resolv.conf").c_str(), "/etc/resolv.conf", nullptr, MS_BIND, nullptr) != 0 ||
                    ::mount((dir / "nsswitch.conf").c_str(), "/etc/nsswitch.conf", nullptr, MS_BIND, nullptr) != 0) {
                    return "skip";
                }
                const int silent = ::socket(AF_INET, SOCK_DGRAM, 0);
                sockaddr_in at{};
                at.sin_family = AF_INET;
                at.sin_port = htons(53);
                at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
                if (silent < 0 || ::bind(silent, reinterpret_cast<sockaddr*>(&at), sizeof at) != 0) return "skip";
                const Outcome o = c.run();
                return std::string(o.passed ? "1" : "0") + "|" + std::to_string(o.ms) + "|" + o.text;
            },
            true);
        if (!got || *got == "skip") GTEST_SKIP() << "no network and mount namespace available";
        const size_t a = got->find('|'), b = got->find('|', a + 1);
        EXPECT_EQ(got->substr(0, a), "0");
        EXPECT_LT(std::stoll(got->substr(a + 1, b - a - 1)), 2500);
        EXPECT_EQ(got->substr(b + 1), c.expected);
    }
}
