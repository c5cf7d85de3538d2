// The SMTP check against the aiosmtpd servers on 127.0.0.1.
#include "MailCheckRunners.h"

#include <gtest/gtest.h>

namespace velmora::mailtest {
namespace {

// ------------------------------------------------------------------------------------------
// SMTP

TEST(SmtpCheck, GreetingEhloAndAuthLogin) {
    const int plain = ServerPort("smtpcheck");
    const int auth = ServerPort("smtpcheck", "AUTH_PORT");
    const std::string ok = "[127.0.0.1:" + P(auth) + " SMTP Connection Succeed]";

    // No authentication asked, against a server that requires it: the check never sends
    // MAIL, so it passes.
    Outcome o = Smtp(auth, SmtpUser(0));
    EXPECT_TRUE(o.passed);
    EXPECT_EQ(o.status, "Passed");
    EXPECT_EQ(o.text, ok);

    o = Smtp(auth, SmtpUser(1));
    EXPECT_TRUE(o.passed) << o.text;
    EXPECT_EQ(o.text, ok);

    o = Smtp(auth, SmtpUser(1, "wrong-password"));
    EXPECT_FALSE(o.passed);
    EXPECT_EQ(o.status, "Failed");
    EXPECT_EQ(o.text, ok + " [SMTP Authentication Error:5.7.8 Authentication credentials invalid]");

    // Any auth_type other than 1 means no authentication.
    o = Smtp(auth, SmtpUser(2, "wrong-password"));
    EXPECT_TRUE(o.passed) << o.text;

    // AUTH LOGIN goes out although this server does not list it; its refusal is reported.
    o = Smtp(plain, SmtpUser(1));
    EXPECT_FALSE(o.passed);
    EXPECT_EQ(o.text, "[127.0.0.1:" + P(plain) +
                          " SMTP Connection Succeed] [SMTP Authentication Error:5.7.11 Encryption "
                          "required for requested authentication mechanism]");
}

TEST(SmtpCheck, HeloFallbackAndTls) {
    const int helo = ServerPort("smtpcheck", "HELO_PORT");
    Outcome o = Smtp(helo, SmtpUser(0));
    EXPECT_TRUE(o.passed) << o.text;
    EXPECT_EQ(o.text, "[127.0.0.1:" + P(helo) + " SMTP Connection Succeed]");

    const int tls = ServerPort("smtpcheck", "TLS_PORT");
    o = Smtp(tls, SmtpUser(1), true);
    EXPECT_TRUE(o.passed) << o.text;
    EXPECT_EQ(o.text, "[127.0.0.1:" + P(tls) + " SMTP Connection Succeed]");
    o = Smtp(tls, SmtpUser(1, "wrong-password"), true);
    EXPECT_EQ(o.text, "[127.0.0.1:" + P(tls) +
                          " SMTP Connection Succeed] [SMTP Authentication Error:5.7.8 Authentication "
                          "credentials invalid]");

    // TLS against a server that greets in plain text: the handshake fails.
    const int plain = ServerPort("smtpcheck");
    o = Smtp(plain, SmtpUser(0), true);
    EXPECT_FALSE(o.passed);
    EXPECT_EQ(o.text.rfind("[127.0.0.1:" + P(plain) + " SMTP Connection Error:TLS handshake failed", 0), 0u)
        << o.text;
}

TEST(SmtpCheck, ConnectErrors) {
    const int closed = test::ClosedTcpPort();
    EXPECT_EQ(Smtp(closed, SmtpUser(0)).text,
              "[127.0.0.1:" + P(closed) + " SMTP Connection Error:ERR10003 Invalid Host/IP]");
    EXPECT_EQ(Smtp(25, SmtpUser(0), false, "").text, "[:25 SMTP Connection Error:ERR10001 Host/IP required]");
    EXPECT_EQ(Smtp(0, SmtpUser(0)).text, "[127.0.0.1:0 SMTP Connection Error:ERR10002 Port required]");
}

TEST(SmtpCheck, BuiltFromServiceRowAndRunByVelmoractl) {
    const int tls = ServerPort("smtpcheck", "TLS_PORT");
    const std::string user = ServerValue("smtpcheck", "USER"), pw = ServerValue("smtpcheck", "PASSWORD");
    Outcome o = RunRow(MakeRow("SMTP", tls, {{"ssl_enable", "y"}, {"auth_type", "1"}, {"username", user},
                                             {"password", pw}, {"smtp_mail_agent", "Velmora"}}));
    EXPECT_TRUE(o.passed) << o.text;
    EXPECT_EQ(o.text, "[127.0.0.1:" + P(tls) + " SMTP Connection Succeed]");
    // "Y" is not "y": the plain variant, which waits in vain for a plain greeting.
    o = RunRow(MakeRow("SMTP", tls, {{"ssl_enable", "Y"}, {"read_timeout", "500"}}));
    EXPECT_EQ(o.text, "[127.0.0.1:" + P(tls) + " SMTP Connection Error:Read timed out.]");

    const int auth = ServerPort("smtpcheck", "AUTH_PORT");
    CliResult r = Velmoractl({"--type", "SMTP", "--host", kHost, "--port", P(auth), "--set", "auth_type=1",
                              "--set", "username=" + user, "--set", "password=wrong"});
    EXPECT_EQ(r.exit, 1);
    EXPECT_EQ(r.out.rfind(CliHead("[127.0.0.1:" + P(auth) +
                                      " SMTP Connection Succeed] [SMTP Authentication Error:5.7.8 "
                                      "Authentication credentials invalid]",
                                  "Failed"),
                          0),
              0u)
        << r.out;
    r = Velmoractl({"--type", "SMTP", "--host", kHost, "--port", P(ServerPort("smtpcheck", "HELO_PORT"))});
    EXPECT_EQ(r.exit, 0);
    EXPECT_EQ(r.out.rfind(CliHead("[127.0.0.1:" + P(ServerPort("smtpcheck", "HELO_PORT")) +
                                      " SMTP Connection Succeed]", "Passed"), 0), 0u)
        << r.out;
}

} // namespace
} // namespace velmora::mailtest
