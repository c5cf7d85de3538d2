// The NNTP check against the fixture news server (AUTHINFO asked for on GROUP) and
// servers that refuse or never greet.
#include "LoopbackServers.h"
#include "checks/ThreadNNTPCheck.h"
#include "checks/ThreadRshCheck.h"
#include "checks/ThreadTelnetCheck.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

using namespace velmora;

namespace {
ThreadNNTPCheck Make(int port, std::string user, std::string password, std::string group, long long readTimeout = 2000) {
    return ThreadNNTPCheck(CheckContext{}, nullptr, "127.0.0.1", port,
                           {std::move(user), std::move(password), std::move(group), 2000, readTimeout});
}
} // namespace

TEST(NntpCheck, GroupSizeNeedsAuthinfoAndTheRestDoesNot) {
    const int port = test::ServerPort("nntp");
    const std::string head = "[127.0.0.1:" + std::to_string(port);

    // No group: passes after MODE READER, no credentials needed.
    auto plain = Make(port, "", "", "  ");
    plain.Execute();
    EXPECT_TRUE(plain.passed);
    EXPECT_EQ(plain.result_text, head + " NNTP Connection Succeed]");

    auto group = Make(port, test::ServerValue("nntp", "USER"), test::ServerValue("nntp", "PASSWORD"), "velmora.test");
    group.Execute();
    EXPECT_TRUE(group.passed) << group.result_text;
    EXPECT_EQ(group.result_text, head + " NNTP Connection Succeed] [Number Of Messages = 42]");

    auto badLogin = Make(port, "newsreader", "wrong", "velmora.test");
    badLogin.Execute();
    EXPECT_FALSE(badLogin.passed);
    EXPECT_EQ(badLogin.result_text, head + " NNTP Connection Succeed] " + head +
                                        " Get Number of Messages Error:Unexpected reply: 481 authentication failed]");

    auto noGroup = Make(port, "newsreader", "newspass", "no.such.group");
    noGroup.Execute();
    EXPECT_FALSE(noGroup.passed);
    EXPECT_EQ(noGroup.result_text, head + " NNTP Connection Succeed] " + head +
                                       " Get Number of Messages Error:Unexpected reply: 411 no such newsgroup]");
}

TEST(NntpCheck, RefusalSilenceAndClosedPorts) {
    const int refusePort = test::ServerPort("nntp", "REFUSE_PORT");
    auto refused = Make(refusePort, "", "", "");
    refused.Execute();
    EXPECT_FALSE(refused.passed);
    EXPECT_EQ(refused.result_text, "[127.0.0.1:" + std::to_string(refusePort) +
                                       " NNTP Connection Error:Connection explicitly refused by NNTP server.]");

    test::TcpServer silent([](int, const std::atomic<bool>& stop) {
        for (int i = 0; i < 40 && !stop; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    });
    auto quiet = Make(silent.port(), "", "", "", 500);
    quiet.Execute();
    EXPECT_FALSE(quiet.passed);
    EXPECT_EQ(quiet.result_text.rfind("[127.0.0.1:" + std::to_string(silent.port()) + " NNTP Connection Error:", 0), 0u);
    EXPECT_LT(quiet.response_time, 1500);

    int closedPort = 0;
    ::close(test::BindLoopback(SOCK_STREAM, closedPort));
    auto closed = Make(closedPort, "", "", "");
    closed.Execute();
    EXPECT_EQ(closed.result_text, "[127.0.0.1:" + std::to_string(closedPort) + " NNTP Connection Error:ERR10003 Invalid Host/IP]");
}

TEST(NntpCheck, OverTlsFromTheFirstByte) {
    const int port = test::ServerPort("nntp", "TLS_PORT");
    const std::string head = "[127.0.0.1:" + std::to_string(port);
    // Verify nothing: the fixture's certificate is self-signed.
    ThreadNNTPCheck secure(CheckContext{}, nullptr, "127.0.0.1", port,
                           {"newsreader", "newspass", "velmora.test", 2000, 2000},
                           std::make_unique<net::TlsLayer>(net::TlsSettings{}));
    secure.Execute();
    EXPECT_TRUE(secure.passed) << secure.result_text;
    EXPECT_EQ(secure.result_text, head + " NNTP Connection Succeed] [Number Of Messages = 42]");

    // Verifying the peer against an empty trust directory: the handshake fails.
    test::TempDir noRoots;
    net::TlsSettings strict;
    strict.verifyPeer = true;
    strict.verifyDirs = noRoots.path();
    ThreadNNTPCheck refused(CheckContext{}, nullptr, "127.0.0.1", port, {"", "", "", 2000, 2000},
                            std::make_unique<net::TlsLayer>(strict));
    refused.Execute();
    EXPECT_FALSE(refused.passed);
    EXPECT_EQ(refused.result_text.rfind(head + " NNTP Connection Error:", 0), 0u) << refused.result_text;

    // A plain client at the TLS port never gets a greeting it understands.
    auto plain = Make(port, "", "", "", 500);
    plain.Execute();
    EXPECT_FALSE(plain.passed);
    EXPECT_LT(plain.response_time, 2500);
}

// The fixture's TLS port also shows the TLS variants of the Telnet and Rsh checks: the
// handshake right after connecting, and its failure against a plain server.
TEST(NntpCheck, TelnetAndRshTlsVariantsHandshakeFirst) {
    const int tlsPort = test::ServerPort("nntp", "TLS_PORT");
    const int plainPort = test::ServerPort("nntp");
    ThreadTelnetCheck telnet(CheckContext{}, nullptr, "127.0.0.1", tlsPort, {"", "", 2000, 2000},
                             std::make_unique<net::TlsLayer>(net::TlsSettings{}));
    telnet.Execute();
    EXPECT_EQ(telnet.result_text, "[127.0.0.1:" + std::to_string(tlsPort) + " Telnet Connection Succeed]");

    ThreadRshCheck rsh(CheckContext{}, nullptr, "127.0.0.1", tlsPort, {"u", "root", "", 2000, 2000},
                       std::make_unique<net::TlsLayer>(net::TlsSettings{}));
    rsh.Execute();
    EXPECT_EQ(rsh.result_text, "[127.0.0.1:" + std::to_string(tlsPort) + " RSH Connection Succeed]");

    // A plain server answers the client hello with its greeting: the handshake fails.
    ThreadTelnetCheck wrong(CheckContext{}, nullptr, "127.0.0.1", plainPort, {"", "", 2000, 1000},
                            std::make_unique<net::TlsLayer>(net::TlsSettings{}));
    wrong.Execute();
    EXPECT_FALSE(wrong.passed);
    const std::string lead = "[127.0.0.1:" + std::to_string(plainPort) + " Telnet Connection Error:";
    EXPECT_EQ(wrong.result_text.rfind(lead, 0), 0u) << wrong.result_text;
    EXPECT_GT(wrong.result_text.size(), lead.size() + 1) << wrong.result_text;
}
