// The Telnet and Rsh checks against telnetd and in.rshd under a private inetd, and a
// Telnet server that floods option negotiation.
#include "LoopbackServers.h"
#include "checks/TelnetNegotiation.h"
#include "checks/ThreadRshCheck.h"
#include "checks/ThreadTelnetCheck.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <mutex>

using namespace velmora;

namespace {
ThreadTelnetCheck Telnet(int port, std::string user, std::string password, long long readTimeout) {
    return ThreadTelnetCheck(CheckContext{}, nullptr, "127.0.0.1", port,
                             {std::move(user), std::move(password), 2000, readTimeout});
}
ThreadRshCheck Rsh(std::string command, std::string hostUser, std::string clientUser = "root") {
    return ThreadRshCheck(CheckContext{}, nullptr, "127.0.0.1", test::ServerPort("inetd", "RSH_PORT"),
                          {std::move(hostUser), std::move(clientUser), std::move(command), 2000, 3000});
}
} // namespace

TEST(TelnetNegotiationTest, RefusesEveryOptionOnceAndSkipsSubnegotiation) {
    TelnetNegotiation n;
    size_t data = 0;
    const std::string in = "\xFF\xFD\x18\xFF\xFB\x01hi\xFF\xFA\x18\x01\xFF\xF0!\xFF\xFF\xFF\xFE\x05\xFF\xFD\x18";
    EXPECT_EQ(n.Feed(in, &data), "\xFF\xFC\x18\xFF\xFE\x01");
    EXPECT_EQ(data, 4u);  // "hi", "!" and the escaped 255
    // Split across reads, and repeated requests stay unanswered.
    EXPECT_EQ(n.Feed("\xFF"), "");
    EXPECT_EQ(n.Feed("\xFD"), "");
    EXPECT_EQ(n.Feed("\x1F"), "\xFF\xFC\x1F");
    EXPECT_EQ(n.Feed("\xFF\xFD\x1F\xFF\xFB\x01"), "");
    EXPECT_EQ(TelnetNegotiation::Escape("a\xFF" "b"), "a\xFF\xFF" "b");
}

TEST(TelnetCheck, ConnectOnlyAndBlindLogin) {
    const int port = test::ServerPort("inetd", "TELNET_PORT");
    const std::string head = "[127.0.0.1:" + std::to_string(port);

    auto plain = Telnet(port, " ", "", 5000);
    plain.Execute();
    EXPECT_TRUE(plain.passed);
    EXPECT_EQ(plain.result_text, head + " Telnet Connection Succeed]");
    EXPECT_LT(plain.response_time, 1000);  // no pauses without credentials

    // Credentials: three pauses of the read timeout; nothing the server says is judged.
    auto login = Telnet(port, "nobody", "wrong password", 400);
    login.Execute();
    EXPECT_TRUE(login.passed);
    EXPECT_EQ(login.result_text, "[Telnet Login Succeed]");
    EXPECT_GE(login.response_time, 1200);
    EXPECT_LT(login.response_time, 3000);

    int closedPort = 0;
    ::close(test::BindLoopback(SOCK_STREAM, closedPort));
    auto closed = Telnet(closedPort, "", "", 400);
    closed.Execute();
    EXPECT_EQ(closed.result_text, "[127.0.0.1:" + std::to_string(closedPort) + " Telnet Connection Error:ERR10003 Invalid Host/IP]");
}

TEST(TelnetCheck, OptionFloodAndPeerClose) {
    // Sends option requests as fast as it can and never reads.
    test::TcpServer flood([](int fd, const std::atomic<bool>& stop) {
        std::string burst;
        for (int i = 0; i < 4096; ++i) burst += std::string("\xFF\xFD") + static_cast<char>(i % 256) + "\xFF\xFB\x03";
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(4);
        while (!stop && std::chrono::steady_clock::now() < end)
            if (send(fd, burst.data(), burst.size(), MSG_NOSIGNAL | MSG_DONTWAIT) < 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    });
    auto flooded = Telnet(flood.port(), "user", "pw", 300);
    flooded.Execute();
    EXPECT_LT(flooded.response_time, 2500);
    EXPECT_GE(flooded.response_time, 900);
    EXPECT_TRUE(flooded.result_text == "[Telnet Login Succeed]" ||
                flooded.result_text.find(" [Telnet Login Error:") != std::string::npos)
        << flooded.result_text;

    // A server that hangs up at once: typing into the closed connection is a login error.
    test::TcpServer hangup([](int, const std::atomic<bool>&) {});
    auto cut = Telnet(hangup.port(), "user", "pw", 200);
    cut.Execute();
    EXPECT_FALSE(cut.passed);
    EXPECT_EQ(cut.result_text, "[127.0.0.1:" + std::to_string(hangup.port()) +
                                   " Telnet Connection Succeed] [Telnet Login Error:The server closed the connection.]");
}

TEST(TelnetCheck, TypesBlindLinesAndAnswersNegotiation) {
    // Asks for two options, then records everything the client sends until it hangs up.
    std::string received;
    std::mutex m;
    test::TcpServer recorder([&](int fd, const std::atomic<bool>& stop) {
        const std::string ask = "\xFF\xFD\x18\xFF\xFB\x01login: ";
        send(fd, ask.data(), ask.size(), MSG_NOSIGNAL);
        char buf[4096];
        while (!stop) {
            pollfd p{fd, POLLIN, 0};
            if (poll(&p, 1, 50) <= 0) continue;
            const ssize_t n = recv(fd, buf, sizeof buf, 0);
            if (n <= 0) break;
            std::lock_guard<std::mutex> lock(m);
            received.append(buf, static_cast<size_t>(n));
        }
    });
    // Only a password: the user name line is CR LF alone; a 255 byte goes out doubled.
    auto check = Telnet(recorder.port(), "", "p\xFFw", 200);
    check.Execute();
    EXPECT_EQ(check.result_text, "[Telnet Login Succeed]");
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    std::lock_guard<std::mutex> lock(m);
    EXPECT_EQ(received, "\xFF\xFC\x18\xFF\xFE\x01\r\np\xFF\xFFw\r\n");
}

TEST(RshCheck, OutputErrorChannelAndRefusal) {
    const std::string user = test::ServerValue("inetd", "RSH_USER");
    const std::string head = "[127.0.0.1:" + test::ServerValue("inetd", "RSH_PORT");

    auto connectOnly = Rsh("  ", user);
    connectOnly.Execute();
    EXPECT_TRUE(connectOnly.passed);
    EXPECT_EQ(connectOnly.result_text, head + " RSH Connection Succeed]");

    auto out = Rsh("echo up 12 days", user);
    out.Execute();
    EXPECT_TRUE(out.passed) << out.result_text;
    EXPECT_EQ(out.result_text, head + " RSH Connection Succeed] [RSH Command Succeed:up 12 days\n]");

    auto err = Rsh("echo partial; echo broken pipe >&2", user);
    err.Execute();
    EXPECT_FALSE(err.passed);
    EXPECT_EQ(err.result_text, head + " RSH Connection Succeed] [RSH Command Succeed:partial\n] [RSH Command Error:broken pipe]");

    // An empty client user name sends the name of the user the tests run as (root here,
    // whom the .rhosts trusts).
    auto self = Rsh("id -un", user, " ");
    self.Execute();
    EXPECT_EQ(self.result_text, head + " RSH Connection Succeed] [RSH Command Succeed:" + user + "\n]");

    // An untrusted client user: refused; the refusal byte alone does not fail the check.
    auto refused = Rsh("echo hi", user, "stranger");
    refused.Execute();
    EXPECT_TRUE(refused.passed);
    EXPECT_EQ(refused.result_text, head + " RSH Connection Succeed] [RSH Command Succeed:Authentication failure\n]");

    int closedPort = 0;
    ::close(test::BindLoopback(SOCK_STREAM, closedPort));
    ThreadRshCheck closed(CheckContext{}, nullptr, "127.0.0.1", closedPort, {user, "root", "echo hi", 1000, 1000});
    closed.Execute();
    EXPECT_FALSE(closed.passed);
    EXPECT_EQ(closed.result_text, "[127.0.0.1:" + std::to_string(closedPort) + " RSH Connection Error:ERR10003 Invalid Host/IP]");
}
