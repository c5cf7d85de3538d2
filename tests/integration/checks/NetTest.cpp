// The net layer against fixture servers on 127.0.0.1.
#include "FixtureServers.h"
#include "net/IcmpClient.h"
#include "net/LineClient.h"
#include "net/UdpClient.h"
#include "tests/support/TestSupport.h"

#include <chrono>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include <gtest/gtest.h>

using namespace velmora::net;
using velmora::test::FixtureTcpServer;

namespace {

using Clock = std::chrono::steady_clock;
long long MsSince(Clock::time_point t) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t).count();
}

NetErrorKind ConnectKind(const std::string& host, long long port, long long timeoutMs = 2000) {
    TcpClient c;
    c.SetConnectTimeout(timeoutMs);
    try {
        c.Connect(host, port);
    } catch (const NetError& e) {
        return e.kind();
    }
    return NetErrorKind::Other;
}

} // namespace

TEST(TcpClient, ConnectErrorsByKind) {
    EXPECT_EQ(ConnectKind("", 80), NetErrorKind::NoHost);
    EXPECT_EQ(ConnectKind("127.0.0.1", 0), NetErrorKind::NoPort);
    EXPECT_EQ(ConnectKind("127.0.0.1", velmora::test::ClosedTcpPort()), NetErrorKind::Socket);
    EXPECT_EQ(ConnectKind("no..such.host", 80), NetErrorKind::Socket);
    EXPECT_EQ(ConnectKind("bad host", 80), NetErrorKind::Socket);
    EXPECT_EQ(ConnectKind("127.0.0.1", 70000), NetErrorKind::Other);
    EXPECT_EQ(ConnectKind("127.0.0.1", -1), NetErrorKind::Other);
}

TEST(TcpClient, ConnectTimeoutIsBounded) {
    velmora::test::FullBacklogServer full;
    const auto t = Clock::now();
    EXPECT_EQ(ConnectKind("127.0.0.1", full.Port(), 500), NetErrorKind::ConnectTimeout);
    const long long ms = MsSince(t);
    EXPECT_GE(ms, 450);
    EXPECT_LT(ms, 2500);
}

TEST(TcpClient, IPv6LoopbackAndAddressFallback) {
    const int fd = ::socket(AF_INET6, SOCK_STREAM | SOCK_CLOEXEC, 0);
    ASSERT_GE(fd, 0);
    sockaddr_in6 a{};
    a.sin6_family = AF_INET6;
    a.sin6_addr = in6addr_loopback;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
        ::close(fd);
        GTEST_SKIP() << "no IPv6 loopback";
    }
    socklen_t len = sizeof a;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
    ::listen(fd, 4);
    const int port = ntohs(a.sin6_port);
    {
        TcpClient c;
        c.SetConnectTimeout(1000);
        c.Connect("::1", port);
        EXPECT_TRUE(c.Connected());
    }
    ::close(fd);

    // An IPv4-only server reached by a name that also resolves to ::1: refused there, then
    // the next address answers.
    FixtureTcpServer v4(FixtureTcpServer::SendAndHold("hi\r\n"));
    TcpClient c;
    c.SetConnectTimeout(1000);
    c.Connect("localhost", v4.Port());
    EXPECT_EQ(c.ReadLine(), "hi");
    TcpClient refused;
    refused.SetConnectTimeout(1000);
    EXPECT_THROW(refused.Connect("::1", v4.Port()), NetError);
}

TEST(TcpClient, LinesAndReadTimeout) {
    FixtureTcpServer server(FixtureTcpServer::SendAndHold("first\r\nsecond\nthird"));
    TcpClient c;
    c.SetReadTimeout(300);
    c.Connect("localhost", server.Port());
    EXPECT_EQ(c.ReadLine(), "first");
    EXPECT_EQ(c.ReadLine(), "second");
    const auto t = Clock::now();
    try {
        c.ReadLine();
        FAIL() << "no timeout";
    } catch (const NetError& e) {
        EXPECT_EQ(e.kind(), NetErrorKind::ReadTimeout);
        EXPECT_STREQ(e.what(), "Read timed out.");
    }
    EXPECT_GE(MsSince(t), 280);
    EXPECT_LT(MsSince(t), 2300);
}

TEST(TcpClient, PeerClosing) {
    FixtureTcpServer server(FixtureTcpServer::CloseAtOnce());
    TcpClient c;
    c.Connect("127.0.0.1", server.Port());
    try {
        c.ReadLine();
        FAIL() << "read from a closed connection";
    } catch (const NetError& e) {
        EXPECT_EQ(e.kind(), NetErrorKind::Closed);
    }
}

TEST(LineClient, MultiLineCommandReply) {
    FixtureTcpServer* self = nullptr;
    FixtureTcpServer server([&](int fd, const std::atomic<bool>& stopping) {
        self->AnswerLine("250-mail.example\r\n250-SIZE 100\r\n250 HELP\r\n")(fd, stopping);
    });
    self = &server;
    LineClient c;
    c.SetReadTimeout(2000);
    c.Connect("127.0.0.1", server.Port());
    const NumericReply r = c.Command("EHLO me");
    EXPECT_EQ(r.code, "250");
    EXPECT_EQ(r.text, "mail.example\r\nSIZE 100\r\nHELP");
    EXPECT_EQ(server.Received(), "EHLO me\r\n");
}

TEST(Tls, ImplicitTlsAndBadSettings) {
    velmora::test::TempDir dir;
    velmora::test::MakeSelfSignedCert(dir.path());
    velmora::test::TlsFixtureServer server(dir / "cert.pem", dir / "key.pem", "220 secure ready\r\n");

    {  // no verification
        LineClient c;
        c.SetTls(std::make_unique<TlsLayer>());
        c.Connect("127.0.0.1", server.Port());
        EXPECT_TRUE(c.Secure());
        EXPECT_EQ(c.ReadNumericReply().text, "secure ready");
        EXPECT_EQ(c.Command("NOOP").text, "NOOP");
    }
    {  // verified against the certificate as root
        TlsSettings s;
        s.rootCertFile = dir / "cert.pem";
        s.SetVerifyFlags("y", "n", "n");
        s.verifyDepth = 4;
        LineClient c;
        c.SetTls(std::make_unique<TlsLayer>(s));
        c.Connect("127.0.0.1", server.Port());
        EXPECT_EQ(c.ReadNumericReply().code, "220");
    }
    {  // verification without the root fails the handshake
        TlsSettings s;
        s.SetVerifyFlags("y", "n", "n");
        TcpClient c;
        c.SetTls(std::make_unique<TlsLayer>(s));
        try {
            c.Connect("127.0.0.1", server.Port());
            FAIL() << "unverified peer accepted";
        } catch (const NetError& e) {
            EXPECT_EQ(e.kind(), NetErrorKind::Tls);
            EXPECT_NE(std::string(e.what()).find("certificate"), std::string::npos) << e.what();
        }
    }
    {  // a cipher list the library rejects
        TlsSettings s;
        s.cipherList = "NOT-A-CIPHER";
        TcpClient c;
        c.SetTls(std::make_unique<TlsLayer>(s));
        EXPECT_THROW(c.Connect("127.0.0.1", server.Port()), NetError);
    }
}

TEST(Tls, HandshakeAgainstSilentServerIsBounded) {
    FixtureTcpServer server(FixtureTcpServer::Silent());
    TcpClient c;
    c.SetConnectTimeout(400);
    c.SetTls(std::make_unique<TlsLayer>());
    const auto t = Clock::now();
    EXPECT_THROW(c.Connect("127.0.0.1", server.Port()), NetError);
    EXPECT_LT(MsSince(t), 2400);
}

TEST(Tls, StartTlsUpgrade) {
    velmora::test::TempDir dir;
    velmora::test::MakeSelfSignedCert(dir.path());
    velmora::test::TlsFixtureServer server(dir / "cert.pem", dir / "key.pem", "220 hi\r\n");
    LineClient c;
    c.Connect("127.0.0.1", server.Port());
    EXPECT_FALSE(c.Secure());
    c.StartTls(std::make_unique<TlsLayer>());
    EXPECT_TRUE(c.Secure());
    EXPECT_EQ(c.ReadNumericReply().text, "hi");
}

TEST(UdpClient, EchoSilenceAndUnreachable) {
    velmora::test::UdpEchoServer echo("re:");
    UdpClient u;
    u.Open("127.0.0.1", echo.Port(), Deadline::In(2000));
    u.Send("hello");
    EXPECT_EQ(u.Receive(8192, Deadline::In(2000)).value_or("<none>"), "re:hello");
    u.Send("hello");
    EXPECT_EQ(u.Receive(4, Deadline::In(2000)).value_or("<none>"), "re:h");  // cut to the buffer

    velmora::test::UdpEchoServer silent("", true);
    u.Open("127.0.0.1", silent.Port(), Deadline::In(2000));
    u.Send("x");
    const auto t = Clock::now();
    EXPECT_FALSE(u.Receive(8192, Deadline::In(300)).has_value());
    EXPECT_GE(MsSince(t), 280);

    u.Open("127.0.0.1", velmora::test::ClosedUdpPort(), Deadline::In(2000));
    u.Send("x");
    try {
        u.Receive(8192, Deadline::In(2000));
        FAIL() << "no error for an unreachable port";
    } catch (const NetError& e) {
        EXPECT_NE(std::string(e.what()).find("port unreachable"), std::string::npos) << e.what();
    }
}

TEST(UdpClient, BadTargets) {
    UdpClient u;
    EXPECT_THROW(u.Open("", 53, Deadline::In(2000)), NetError);
    EXPECT_THROW(u.Open("127.0.0.1", 0, Deadline::In(2000)), NetError);
    EXPECT_THROW(u.Open("no..such.host", 53, Deadline::In(2000)), NetError);
}

TEST(IcmpClient, LoopbackAnswersAndConcurrentPingsKeepTheirOwn) {
    IcmpClient p;
    p.SetHost("127.0.0.1");
    p.SetTimeout(2000);
    size_t seen = 0;
    p.onReply = [&](size_t n) { seen = n; };
    EXPECT_GT(p.Ping(), 0u);
    EXPECT_GT(seen, 0u);

    std::vector<std::thread> threads;
    std::atomic<int> answered{0};
    for (int i = 0; i < 8; ++i) {
        threads.emplace_back([&answered, i] {
            IcmpClient c;
            c.SetHost("127.0.0." + std::to_string(1 + i));
            c.SetTimeout(3000);
            if (c.Ping() > 0) ++answered;
        });
    }
    for (auto& t : threads) t.join();
    EXPECT_EQ(answered.load(), 8);
}

TEST(IcmpClient, Errors) {
    IcmpClient p;
    p.SetTimeout(500);
    p.SetHost("");
    EXPECT_THROW(p.Ping(), NetError);
    p.SetHost("no..such.host");
    EXPECT_THROW(p.Ping(), NetError);
}
