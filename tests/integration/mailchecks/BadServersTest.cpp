// The mail and FTP checks against small misbehaving servers on 127.0.0.1: a 5 MB line,
// invalid UTF-8, replies without a code, closing mid-reply, silence.
#include "MailCheckRunners.h"
#include "tests/integration/checks/FixtureServers.h"

#include <poll.h>
#include <sys/socket.h>

#include <chrono>
#include <memory>
#include <thread>

#include <gtest/gtest.h>

namespace velmora::mailtest {
namespace {

using test::FixtureTcpServer;

// ------------------------------------------------------------------------------------------
// Misbehaving servers: every check fails with a clear text, within its read timeout.

// Sends steps[0] at once, then each further step after one line from the client; then holds
// the connection open (or closes it when `closeAtEnd`).
// The lines received are appended to `got` when given.
using Lines = std::shared_ptr<std::vector<std::string>>;
FixtureTcpServer::Handler Script(std::vector<std::string> steps, bool closeAtEnd = false, Lines got = nullptr) {
    return [steps, closeAtEnd, got](int fd, const std::atomic<bool>& stopping) {
        auto readLine = [&]() {
            char c;
            std::string line;
            while (!stopping.load()) {
                pollfd p{fd, POLLIN, 0};
                if (::poll(&p, 1, 50) <= 0) continue;
                if (::recv(fd, &c, 1, 0) <= 0) return false;
                if (c == '\n') {
                    if (!line.empty() && line.back() == '\r') line.pop_back();
                    if (got) got->push_back(line);
                    return true;
                }
                line += c;
            }
            return false;
        };
        for (size_t i = 0; i < steps.size(); ++i) {
            if (i > 0 && !readLine()) return;
            if (::send(fd, steps[i].data(), steps[i].size(), MSG_NOSIGNAL) < 0) return;
        }
        if (closeAtEnd) return;
        while (!stopping.load() && readLine()) {
        }
    };
}

enum class Proto { Smtp, Pop3, Imap, Ftp };

Outcome RunAgainst(Proto proto, int port, long long readTimeout) {
    switch (proto) {
    case Proto::Smtp: {
        SmtpCheckSettings s;
        s.readTimeout = readTimeout;
        return Smtp(port, s);
    }
    case Proto::Pop3: {
        Pop3CheckSettings s;
        s.username = "u", s.password = "p", s.readTimeout = readTimeout;
        return Pop3(port, s);
    }
    case Proto::Imap: {
        ImapCheckSettings s;
        s.username = "u", s.password = "p", s.readTimeout = readTimeout;
        return Imap(port, s);
    }
    case Proto::Ftp: {
        FtpCheckSettings s;
        s.username = "u", s.password = "p", s.readTimeout = readTimeout, s.directory = "/";
        return Ftp(kHost, port, s);
    }
    }
    return {};
}

bool ValidUtf8WithoutControls(const std::string& s) {
    for (unsigned char c : s) {
        if (c == 0xFF || c == 0xFE || c < 0x20) return false;
    }
    return true;
}

TEST(MailFtpBadServers, FailClearlyWithinTheReadTimeout) {
    const std::string big(5 * 1024 * 1024, 'A');
    struct Case {
        const char* name;
        Proto proto;
        const char* prefix;  // after "[127.0.0.1:port"
        std::vector<std::string> script;
        bool closeAtEnd;
        std::string message;  // the text after "Connection Error:" up to "]"
    };
    const std::vector<Case> cases = {
        // A 5 MB line: refused after the line limit, not read to its end.
        {"smtp 5MB line", Proto::Smtp, " SMTP", {"220 " + big + "\r\n"}, false, "Reply line too long."},
        {"pop3 5MB line", Proto::Pop3, " POP3", {"+OK " + big + "\r\n"}, false, "Reply line too long."},
        {"imap 5MB line", Proto::Imap, " IMAP4", {"* OK " + big + "\r\n"}, false, "Reply line too long."},
        {"ftp 5MB line", Proto::Ftp, " FTP", {"220 " + big + "\r\n"}, false, "Reply line too long."},
        // A multi-line reply that never ends.
        {"smtp endless reply", Proto::Smtp, " SMTP",
         {[] { std::string s; for (int i = 0; i < 5000; ++i) s += "220-more of the banner\r\n"; return s; }()},
         false, "Reply too long."},
        // Invalid UTF-8 and no reply code / status word.
        {"smtp invalid utf8", Proto::Smtp, " SMTP", {"\xFF\xFE\xFD garbage\r\n"}, false,
         "Invalid reply without a reply code: \"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD garbage\""},
        {"pop3 invalid utf8", Proto::Pop3, " POP3", {"\xFF\xFE hello\r\n"}, false,
         "Invalid reply, neither +OK nor -ERR: \"\xEF\xBF\xBD\xEF\xBF\xBD hello\""},
        {"pop3 refusal in invalid utf8", Proto::Pop3, " POP3", {"-ERR \xC3\x28 go\x01 away\r\n"}, false,
         "\xEF\xBF\xBD( go? away"},
        {"imap invalid utf8", Proto::Imap, " IMAP4", {"\xFF OK\r\n"}, false,
         "Invalid IMAP greeting: \"\xEF\xBF\xBD OK\""},
        {"ftp no code", Proto::Ftp, " FTP", {"hello there\r\n"}, false,
         "Invalid reply without a reply code: \"hello there\""},
        {"smtp no code after EHLO", Proto::Smtp, " SMTP", {"220 ready\r\n", "OK fine\r\n"}, false,
         "Invalid reply without a reply code: \"OK fine\""},
        // Closing in the middle of a reply.
        {"smtp closes mid-reply", Proto::Smtp, " SMTP", {"220-first line\r\n220-sec"}, true,
         "Connection closed by peer."},
        {"ftp closes mid-reply", Proto::Ftp, " FTP", {"220 hi\r\n", "331-more to"}, true,
         "Connection closed by peer."},
        {"imap huge literal", Proto::Imap, " IMAP4", {"* OK hi {999999999}\r\n"}, false, "Reply too long."},
        {"imap closes in a literal", Proto::Imap, " IMAP4", {"* OK hi {40}\r\nabc"}, true,
         "Connection closed by peer."},
        {"pop3 closes mid-line", Proto::Pop3, " POP3", {"+OK hi\r\n", "+O"}, true,
         "Invalid reply, neither +OK nor -ERR: \"+O\""},
        // A greeting, then silence.
        {"smtp greet then silence", Proto::Smtp, " SMTP", {"220 hi\r\n"}, false, "Read timed out."},
        {"pop3 greet then silence", Proto::Pop3, " POP3", {"+OK hi\r\n"}, false, "Read timed out."},
        {"imap greet then silence", Proto::Imap, " IMAP4", {"* OK hi\r\n"}, false, "Read timed out."},
        {"ftp greet then silence", Proto::Ftp, " FTP", {"220 hi\r\n"}, false, "Read timed out."},
        // Silence from the start.
        {"imap silent", Proto::Imap, " IMAP4", {""}, false, "Read timed out."},
    };
    const long long readTimeout = 700;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FixtureTcpServer server(Script(c.script, c.closeAtEnd));
        const auto t0 = std::chrono::steady_clock::now();
        const Outcome o = RunAgainst(c.proto, server.Port(), readTimeout);
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                            std::chrono::steady_clock::now() - t0).count();
        EXPECT_FALSE(o.passed);
        EXPECT_EQ(o.status, "Failed");
        EXPECT_EQ(o.text, "[127.0.0.1:" + P(server.Port()) + c.prefix + " Connection Error:" + c.message + "]");
        EXPECT_TRUE(ValidUtf8WithoutControls(o.text));
        // Every read is bounded by the read timeout; the few reads of one check stay well
        // within a few of them.
        EXPECT_LT(ms, 4 * readTimeout);
    }
}

TEST(MailFtpBadServers, SilenceAfterLoginEndsTheLaterStep) {
    // SMTP: greeting and EHLO answered, then nothing for AUTH LOGIN.
    FixtureTcpServer smtp(Script({"220 hi\r\n", "250 ok\r\n"}));
    SmtpCheckSettings s;
    s.authType = 1, s.readTimeout = 500;
    Outcome o = Smtp(smtp.Port(), s);
    EXPECT_EQ(o.text, "[127.0.0.1:" + P(smtp.Port()) +
                          " SMTP Connection Succeed] [SMTP Authentication Error:Read timed out.]");

    // POP3: logged in, then nothing for STAT.
    FixtureTcpServer pop3(Script({"+OK hi\r\n", "+OK\r\n", "+OK in\r\n"}));
    Pop3CheckSettings p;
    p.username = "u", p.password = "p", p.checkTotalMsg = true, p.readTimeout = 500;
    o = Pop3(pop3.Port(), p);
    EXPECT_EQ(o.text, "[127.0.0.1:" + P(pop3.Port()) +
                          " POP3 Connection Succeed] [POP3 Check Message Error:Read timed out.]");

    // IMAP: PREAUTH, so SELECT is the first command (tag C1), then silence.
    FixtureTcpServer imap(Script({"* PREAUTH welcome\r\n", "* 7 EXISTS\r\n"}));
    ImapCheckSettings m;
    m.mailbox = "INBOX", m.readTimeout = 500;
    o = Imap(imap.Port(), m);
    EXPECT_EQ(o.text, "[127.0.0.1:" + P(imap.Port()) +
                          " IMAP4 Connection Succeed] [IMAP4 Select MailBox Error:Read timed out.]");
}

TEST(ImapCheck, PreauthSkipsLoginAndTagsCount) {
    // PREAUTH: no LOGIN, SELECT goes out as C1 and LOGOUT as C2; a literal in the response
    // is read past.
    auto got = std::make_shared<std::vector<std::string>>();
    FixtureTcpServer server(Script({"* PREAUTH welcome\r\n",
                                    "* FLAGS (\\Seen)\r\n* OK [x] {5}\r\nab\r\nc rest\r\n* 7 EXISTS\r\n"
                                    "C1 OK [READ-WRITE] done\r\n",
                                    "* BYE bye\r\nC2 OK logged out\r\n"},
                                   false, got));
    ImapCheckSettings m;
    m.mailbox = "Sent Items";
    m.readTimeout = 1000;
    const Outcome o = Imap(server.Port(), m);
    EXPECT_TRUE(o.passed) << o.text;
    EXPECT_EQ(o.text, "[127.0.0.1:" + P(server.Port()) +
                          " IMAP4 Connection Succeed] [IMAP4 MailBox Sent Items exists. Number Of Messages = 7]");
    EXPECT_LT(o.ms, 1000);  // LOGOUT's reply came, nothing waited for the timeout
    EXPECT_EQ(*got, (std::vector<std::string>{"C1 SELECT \"Sent Items\"", "C2 LOGOUT"}));

    // After OK, LOGIN is C1 and SELECT C2; unusual credentials go out as quoted strings.
    auto got2 = std::make_shared<std::vector<std::string>>();
    FixtureTcpServer server2(Script({"* OK hi\r\n", "C1 OK in\r\n", "* 0 EXISTS\r\nC2 OK sel\r\n",
                                     "C3 OK out\r\n"},
                                    false, got2));
    m.username = "bob";
    m.password = "two words";
    m.mailbox = "IN\"BOX";
    const Outcome o2 = Imap(server2.Port(), m);
    EXPECT_TRUE(o2.passed) << o2.text;
    EXPECT_EQ(*got2, (std::vector<std::string>{"C1 LOGIN bob \"two words\"", "C2 SELECT \"IN\\\"BOX\"",
                                               "C3 LOGOUT"}));
}

// Scripted servers that record what the checks send: the exact dialogue on the wire.
std::vector<std::string> WaitForLines(const Lines& got, size_t n) {
    for (int i = 0; i < 100 && got->size() < n; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return *got;
}

TEST(MailFtpDialogue, CommandsOnTheWire) {
    const std::string me = SmtpCheckClient::LocalHostName();
    {
        // SMTP: EHLO refused, HELO; AUTH LOGIN with Base64 user and password; QUIT not awaited.
        auto got = std::make_shared<std::vector<std::string>>();
        FixtureTcpServer server(Script({"220 hi\r\n", "500 no EHLO\r\n", "250 ok\r\n", "334 VXNlcm5hbWU6\r\n",
                                        "334 UGFzc3dvcmQ6\r\n", "235 ok\r\n"},
                                       false, got));
        SmtpCheckSettings s;
        s.authType = 1, s.username = "bob", s.password = "pa:ss", s.readTimeout = 1000;
        const Outcome o = Smtp(server.Port(), s);
        EXPECT_TRUE(o.passed) << o.text;
        EXPECT_EQ(WaitForLines(got, 6), (std::vector<std::string>{"EHLO " + me, "HELO " + me, "AUTH LOGIN",
                                                                  "Ym9i", "cGE6c3M=", "QUIT"}));
        EXPECT_LT(o.ms, 1000);  // nothing waited for an answer to QUIT
    }
    {
        // POP3 without STAT asked: USER, PASS, QUIT and nothing else.
        auto got = std::make_shared<std::vector<std::string>>();
        FixtureTcpServer server(Script({"+OK hi\r\n", "+OK\r\n", "+OK in\r\n"}, false, got));
        Pop3CheckSettings s;
        s.username = "bob", s.password = "pw", s.readTimeout = 1000;
        const Outcome o = Pop3(server.Port(), s);
        EXPECT_EQ(o.text, "[127.0.0.1:" + P(server.Port()) + " POP3 Connection Succeed]");
        EXPECT_EQ(WaitForLines(got, 3), (std::vector<std::string>{"USER bob", "PASS pw", "QUIT"}));
    }
    {
        // POP3 APOP: the digest of the greeting's timestamp and the password.
        auto got = std::make_shared<std::vector<std::string>>();
        FixtureTcpServer server(Script({"+OK ready <1896.697170952@dbc.mtview.ca.us>\r\n", "+OK in\r\n"}, false, got));
        Pop3CheckSettings s;
        s.username = "mrose", s.password = "tanstaaf", s.authType = 1, s.readTimeout = 1000;
        EXPECT_TRUE(Pop3(server.Port(), s).passed);
        EXPECT_EQ(WaitForLines(got, 2),
                  (std::vector<std::string>{"APOP mrose c4c9334bac560ecc979e58001b3e22fb", "QUIT"}));
    }
    {
        // FTP test run: 230 right after USER means no PASS; SYST answered 500 is fine; no CWD.
        auto got = std::make_shared<std::vector<std::string>>();
        FixtureTcpServer server(Script({"220-Welcome\r\n220 ready\r\n", "230 in\r\n", "200 binary\r\n",
                                        "500 SYST unknown\r\n"},
                                       false, got));
        FtpCheckSettings s;
        s.username = "anon", s.password = "x", s.readTimeout = 1000;
        const Outcome o = Ftp(kHost, server.Port(), s);
        EXPECT_EQ(o.text, "[127.0.0.1:" + P(server.Port()) + " FTP Connection Succeed]");
        EXPECT_EQ(WaitForLines(got, 4), (std::vector<std::string>{"USER anon", "TYPE I", "SYST", "QUIT"}));
    }
    {
        // A line break in a stored value never reaches the wire as a second command.
        auto got = std::make_shared<std::vector<std::string>>();
        FixtureTcpServer server(Script({"+OK hi\r\n", "+OK\r\n"}, false, got));
        Pop3CheckSettings s;
        s.username = "bob", s.password = "pw\r\nDELE 1", s.readTimeout = 1000;
        const Outcome o = Pop3(server.Port(), s);
        EXPECT_FALSE(o.passed);
        EXPECT_EQ(o.text, "[127.0.0.1:" + P(server.Port()) +
                              " POP3 Connection Error:The value sent with PASS contains a line break or NUL "
                              "character.]");
        EXPECT_EQ(WaitForLines(got, 2), (std::vector<std::string>{"USER bob", "QUIT"}));
    }
}

} // namespace
} // namespace velmora::mailtest
