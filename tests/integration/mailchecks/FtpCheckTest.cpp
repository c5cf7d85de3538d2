// The FTP check against vsftpd on 127.0.0.1.
#include "MailCheckRunners.h"

#include <gtest/gtest.h>

namespace velmora::mailtest {
namespace {

// ------------------------------------------------------------------------------------------
// FTP against vsftpd

TEST(FtpCheck, LoginTypeSystAndChangeDir) {
    const int port = ServerPort("vsftpd");
    const std::string ok = "[127.0.0.1:" + P(port) + " FTP Connection Succeed]";

    Outcome o = Ftp(kHost, port, FtpUser("/"));  // scheduled run
    EXPECT_TRUE(o.passed) << o.text;
    EXPECT_EQ(o.text, ok + " [FTP Change Dir Succeed]");

    o = Ftp(kHost, port, FtpUser(""));  // test run: no directory change
    EXPECT_TRUE(o.passed);
    EXPECT_EQ(o.text, ok);

    FtpCheckSettings passive = FtpUser("/");
    passive.passive = true;
    EXPECT_EQ(Ftp(kHost, port, passive).text, ok + " [FTP Change Dir Succeed]");

    o = Ftp(kHost, port, FtpUser("/", "wrong-password"));
    EXPECT_FALSE(o.passed);
    EXPECT_EQ(o.text, "[127.0.0.1:" + P(port) + " FTP Connection Error:Login incorrect.]");

    const int nocwd = ServerPort("vsftpd", "NOCWD_PORT");
    o = Ftp(kHost, nocwd, FtpUser("/"));
    EXPECT_FALSE(o.passed);
    EXPECT_EQ(o.text, "[127.0.0.1:" + P(nocwd) +
                          " FTP Connection Succeed] [FTP Change Dir Error:Permission denied.]");
}

TEST(FtpCheck, ImplicitTls) {
    const int tls = ServerPort("vsftpd", "TLS_PORT");
    Outcome o = Ftp(kHost, tls, FtpUser("/"), true);
    EXPECT_TRUE(o.passed) << o.text;
    EXPECT_EQ(o.text, "[127.0.0.1:" + P(tls) + " FTP Connection Succeed] [FTP Change Dir Succeed]");

    // A server that greets in plain text first fails the handshake.
    const int plain = ServerPort("vsftpd");
    o = Ftp(kHost, plain, FtpUser("/"), true);
    EXPECT_FALSE(o.passed);
    EXPECT_EQ(o.text.rfind("[127.0.0.1:" + P(plain) + " FTP Connection Error:TLS handshake failed", 0), 0u)
        << o.text;

    // A plain client waits in vain for a greeting from the TLS server: its read timeout ends it.
    FtpCheckSettings s = FtpUser("/");
    s.readTimeout = 800;
    o = Ftp(kHost, tls, s);
    EXPECT_FALSE(o.passed);
    EXPECT_EQ(o.text, "[127.0.0.1:" + P(tls) + " FTP Connection Error:Read timed out.]");
}


TEST(FtpCheck, ProxyNotApplied) {
    // Proxy port 0, or type 0 with a proxy set: straight to the server with USER and PASS.
    const int port = ServerPort("vsftpd");
    const int someProxy = test::ClosedTcpPort();
    for (const auto& [type, proxyPort] : {std::pair<long long, int>{1, 0}, {0, someProxy}}) {
        FtpCheckSettings s = FtpUser("/");
        s.proxy = {kHost, proxyPort, "proxyuser", "x", type};
        const Outcome direct = Ftp(kHost, port, s);
        EXPECT_TRUE(direct.passed) << direct.text;
        EXPECT_EQ(direct.text, "[127.0.0.1:" + P(port) + " FTP Connection Succeed] [FTP Change Dir Succeed]");
    }
}

TEST(FtpCheck, BuiltFromServiceRowAndRunByVelmoractl) {
    const std::string user = ServerValue("vsftpd", "USER"), pw = ServerValue("vsftpd", "PASSWORD");
    const int port = ServerPort("vsftpd");
    const std::vector<std::pair<std::string, std::string>> login = {{"username", user}, {"password", pw}};
    // Scheduled: the builder passes "/"; test run: no directory.
    EXPECT_EQ(RunRow(MakeRow("FTP", port, login)).text,
              "[127.0.0.1:" + P(port) + " FTP Connection Succeed] [FTP Change Dir Succeed]");
    EXPECT_EQ(RunRow(MakeRow("FTP", port, login), "Setup").text, "[127.0.0.1:" + P(port) + " FTP Connection Succeed]");
    const int nocwd = ServerPort("vsftpd", "NOCWD_PORT");
    EXPECT_EQ(RunRow(MakeRow("FTP", nocwd, login)).text,
              "[127.0.0.1:" + P(nocwd) + " FTP Connection Succeed] [FTP Change Dir Error:Permission denied.]");
    const int tls = ServerPort("vsftpd", "TLS_PORT");
    auto tlsRow = MakeRow("FTP", tls, login);
    tlsRow.Set("ssl_enable", "y");
    EXPECT_EQ(RunRow(tlsRow).text, "[127.0.0.1:" + P(tls) + " FTP Connection Succeed] [FTP Change Dir Succeed]");

    // velmoractl runs a test run: no change of directory.
    CliResult r = Velmoractl({"--type", "FTP", "--host", kHost, "--port", P(port), "--set", "username=" + user,
                              "--set", "password=" + pw});
    EXPECT_EQ(r.exit, 0);
    EXPECT_EQ(r.out.rfind(CliHead("[127.0.0.1:" + P(port) + " FTP Connection Succeed]", "Passed"), 0), 0u) << r.out;
    r = Velmoractl({"--type", "FTP", "--host", kHost, "--port", P(port), "--set", "username=" + user,
                    "--set", "password=nope"});
    EXPECT_EQ(r.exit, 1);
    EXPECT_EQ(r.out.rfind(CliHead("[127.0.0.1:" + P(port) + " FTP Connection Error:Login incorrect.]", "Failed"), 0),
              0u)
        << r.out;
}

} // namespace
} // namespace velmora::mailtest
