// ThreadSMTP against aiosmtpd receivers (plain with AUTH LOGIN, STARTTLS, implicit TLS,
// EHLO refused), reading the messages they stored.
#include "AlarmTestUtil.h"
#include "alarms/ThreadSMTP.h"

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::test;

namespace {

AlarmMethodSettings::Email Server(const char* portKey = "PORT") {
    AlarmMethodSettings::Email s;
    s.enabled = true;
    s.host = "127.0.0.1";
    s.port = ServerPort("smtpd", portKey);
    s.from_address = "Velmora Alarms <alarms@velmora.test>";
    s.mail_agent = "Velmora Pro";
    s.authenticate = 1;
    s.username = ServerValue("smtpd", "USER");
    s.password = ServerValue("smtpd", "PASSWORD");
    s.timeout = 2000;
    s.read_timeout = 2000;
    return s;
}

std::string Send(const AlarmMethodSettings::Email& s, const std::string& to, const std::string& text,
                 bool implicitTls = false) {
    ThreadSMTP smtp(s, ThreadSMTP::BuildMessage(s, to, text));
    if (implicitTls) smtp.SetImplicitTls(true);
    smtp.Execute();
    EXPECT_EQ(smtp.status, smtp.sent ? "Sent" : "Error");
    return smtp.result_text;
}

// The stored message whose content holds `marker`.
std::string Stored(const std::string& marker) {
    auto l = LinesWith(ServerValue("smtpd", "LOG"), {marker});
    return l.empty() ? "" : l.back();
}

} // namespace

TEST(EmailAlarm, TwoRecipientsOneMessage) {
    const std::string text = "[10.0.0.5:25 SMTP Connection Error] two-rcpt\n.dot line";
    EXPECT_EQ(Send(Server(), ";a@example.test; \"Doe; J\" <b@example.test>;", text), "[SMTP Alarm Sent Succeed]");
    const std::string m = Stored("two-rcpt");
    ASSERT_FALSE(m.empty());
    EXPECT_NE(m.find("\"rcpt_tos\": [\"a@example.test\", \"b@example.test\"]"), std::string::npos) << m;
    EXPECT_NE(m.find("\"mail_from\": \"alarms@velmora.test\""), std::string::npos);
    EXPECT_NE(m.find("\"authenticated\": true, \"login\": \"alarm\""), std::string::npos);
    EXPECT_NE(m.find("\"tls\": false"), std::string::npos);
    // A text of two lines goes into the subject as encoded words on one logical line.
    for (const char* h : {"Subject: =?UTF-8?B?QWxhcm1pbmcgTWVzc2FnZSA6IFsxMC4wLjAuNToyNSBTTVRQIENvbm5lY3Rp?=\\r\\n =?UTF-8?B?",
                          "From: Velmora Alarms <alarms@velmora.test>", "Reply-To: Velmora Alarms",
                          "To: a@example.test, \\\"Doe; J\\\" <b@example.test>", "X-Mailer: Velmora Pro",
                          "MIME-Version: 1.0", "Content-Type: text/plain; charset=UTF-8", "Message-ID: <", "Date: "})
        EXPECT_NE(m.find(h), std::string::npos) << h << "\n" << m;
    // The body line that starts with "." arrives as it was written (dot-stuffing undone).
    EXPECT_NE(m.find("two-rcpt\\r\\n.dot line\\r\\n"), std::string::npos) << m;
}

TEST(EmailAlarm, NoAuthNoMailerAndHeloFallback) {
    auto s = Server("LEGACY_PORT");
    s.authenticate = 0;
    s.username = "someone";
    s.mail_agent = "";
    EXPECT_EQ(Send(s, "c@example.test", "helo-fallback"), "[SMTP Alarm Sent Succeed]");
    const std::string m = Stored("helo-fallback");
    EXPECT_NE(m.find("\"authenticated\": false"), std::string::npos) << m;
    EXPECT_EQ(m.find("X-Mailer"), std::string::npos);
    EXPECT_NE(m.find("Subject: Alarming Message : helo-fallback\\r\\n"), std::string::npos) << m;
}

TEST(EmailAlarm, StartTlsBeforeLoginAndImplicitTls) {
    EXPECT_EQ(Send(Server("STARTTLS_PORT"), "d@example.test", "starttls-marker"), "[SMTP Alarm Sent Succeed]");
    EXPECT_NE(Stored("starttls-marker").find("\"tls\": true, \"authenticated\": true"), std::string::npos)
        << Stored("starttls-marker");
    EXPECT_EQ(Send(Server("SMTPS_PORT"), "e@example.test", "smtps-marker", true), "[SMTP Alarm Sent Succeed]");
    EXPECT_NE(Stored("smtps-marker").find("\"server\": \"smtps\""), std::string::npos);

    // A configured CA that does not hold the server's certificate stops the upgrade.
    auto strict = Server("STARTTLS_PORT");
    strict.ca_file = "/etc/ssl/certs/ca-certificates.crt";
    const std::string refused = Send(strict, "d@example.test", "strict-marker");
    EXPECT_EQ(refused.rfind("[127.0.0.1:" + std::to_string(strict.port) + " SMTP Alarm Connection Error:", 0), 0u)
        << refused;
    strict.host = "localhost";
    strict.ca_file = ServerValue("smtpd", "CERT");
    EXPECT_EQ(Send(strict, "d@example.test", "trusted-marker"), "[SMTP Alarm Sent Succeed]");
}

TEST(EmailAlarm, Failures) {
    const int port = ServerPort("smtpd");
    EXPECT_EQ(Send(Server(), "ok@example.test; refused@example.test", "refused-marker"),
              "[SMTP Alarm Sent Error:5.1.1 <refused@example.test>: Recipient address rejected]");
    EXPECT_EQ(Stored("refused-marker"), "");

    auto bad = Server();
    bad.password = "wrong";
    EXPECT_EQ(Send(bad, "a@example.test", "x"),
              "[SMTP Alarm Authentication Error:5.7.8 Authentication credentials invalid]");

    struct Case {
        std::string host;
        int port;
        std::string text;
    } cases[] = {
        {"127.0.0.1", ClosedPort(), ""},
        {"", port, "[:" + std::to_string(port) + " SMTP Alarm Connection Error:ERR10001 Host/IP required]"},
        {"127.0.0.1", 0, "[127.0.0.1:0 SMTP Alarm Connection Error:ERR10002 Port required]"},
    };
    cases[0].text = "[127.0.0.1:" + std::to_string(cases[0].port) + " SMTP Alarm Connection Error:ERR10003 Invalid Host/IP]";
    for (const auto& c : cases) {
        auto s = Server();
        s.host = c.host;
        s.port = c.port;
        EXPECT_EQ(Send(s, "a@example.test", "x"), c.text);
    }

    // A server that speaks TLS while the client expects plain text: the greeting times out.
    auto tls = Server("SMTPS_PORT");
    tls.read_timeout = 500;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Send(tls, "a@example.test", "x"),
              "[127.0.0.1:" + std::to_string(tls.port) + " SMTP Alarm Connection Error:Read timed out.]");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));

    ThreadSMTP none(Server(), nullptr);
    none.Execute();
    EXPECT_EQ(none.result_text, "[ERR01001 : SMTP Message required]");
}

TEST(EmailMessage, AddressListAndDotStuffing) {
    EXPECT_EQ(SplitAddressList(";a@x; b@y ,c@z;;"), (std::vector<std::string>{"a@x", "b@y", "c@z"}));
    EXPECT_EQ(SplitAddressList("\"Doe, J\" <j@x>; k@y (Kay; K)"),
              (std::vector<std::string>{"\"Doe, J\" <j@x>", "k@y (Kay; K)"}));
    EXPECT_EQ(AddressOf("\"Doe, J\" <j@x>"), "j@x");
    EXPECT_EQ(AddressOf(" k@y "), "k@y");
    EXPECT_EQ(DotStuff(".a\n..b\r\nc.\r.d"), "..a\r\n...b\r\nc.\r\n..d");
    MailMessage m;
    m.from = "a@x\r\nBcc: evil@x";
    m.to = {"b@y"};
    m.subject = "Grüße";
    m.body = "x";
    const std::string r = m.Render("D", "<id@h>");
    EXPECT_NE(r.find("From: a@x  Bcc: evil@x\r\n"), std::string::npos) << r;
    EXPECT_NE(r.find("Subject: =?UTF-8?B?R3LDvMOfZQ==?=\r\n"), std::string::npos) << r;
}
