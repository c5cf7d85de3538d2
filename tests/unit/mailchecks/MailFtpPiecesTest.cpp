// The connection-free pieces of the mail and FTP checks: APOP, STAT, IMAP responses and
// quoting, the FTP proxy login sequences, and the result texts with their text hygiene.
#include "checks/FtpProxyLogin.h"
#include "checks/ImapResponse.h"
#include "checks/MailFtpText.h"
#include "checks/Pop3Apop.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TEST(Pop3Apop, TimestampAndDigest) {
    // The worked example of the POP3 standard.
    const std::string greeting = "+OK POP3 server ready <1896.697170952@dbc.mtview.ca.us>";
    const auto ts = pop3::ApopTimestamp(greeting);
    ASSERT_TRUE(ts);
    EXPECT_EQ(*ts, "<1896.697170952@dbc.mtview.ca.us>");
    EXPECT_EQ(pop3::ApopDigest(*ts, "tanstaaf"), "c4c9334bac560ecc979e58001b3e22fb");
    EXPECT_EQ(pop3::ApopCommand("mrose", *ts, "tanstaaf"),
              "APOP mrose c4c9334bac560ecc979e58001b3e22fb");

    struct Case {
        const char* greeting;
        const char* expected;  // nullptr: no timestamp
    } cases[] = {
        {"+OK ready", nullptr},
        {"+OK ready <unterminated", nullptr},
        {"+OK ready > <a@b>", "<a@b>"},
        {"+OK <first@x> <second@y>", "<first@x>"},
        {"+OK <>", "<>"},
    };
    for (const auto& c : cases) {
        const auto got = pop3::ApopTimestamp(c.greeting);
        if (c.expected == nullptr) {
            EXPECT_FALSE(got) << c.greeting;
        } else {
            ASSERT_TRUE(got) << c.greeting;
            EXPECT_EQ(*got, c.expected);
        }
    }
}

TEST(Pop3Apop, StatCount) {
    EXPECT_EQ(pop3::StatMessageCount("3 465"), 3);
    EXPECT_EQ(pop3::StatMessageCount("0 0"), 0);
    EXPECT_EQ(pop3::StatMessageCount("12"), 12);
    EXPECT_FALSE(pop3::StatMessageCount(""));
    EXPECT_FALSE(pop3::StatMessageCount("three 465"));
    EXPECT_FALSE(pop3::StatMessageCount("3x 465"));
    EXPECT_FALSE(pop3::StatMessageCount(" 3 465"));
}

TEST(ImapResponse, TagsCountPerConnection) {
    imap::Tagger a;
    EXPECT_EQ(a.Next(), "C1");
    EXPECT_EQ(a.Next(), "C2");
    EXPECT_EQ(a.Next(), "C3");
    imap::Tagger b;
    EXPECT_EQ(b.Next(), "C1");
}

TEST(ImapResponse, ParsesResponseLines) {
    using K = imap::Response::Kind;
    struct Case {
        const char* line;
        K kind;
        const char* tag;
        const char* status;
        long long exists;  // -1: none
    } cases[] = {
        {"* OK [CAPABILITY IMAP4rev1] ready", K::Untagged, "", "OK", -1},
        {"* PREAUTH welcome back", K::Untagged, "", "PREAUTH", -1},
        {"* BYE going away", K::Untagged, "", "BYE", -1},
        {"* 12 EXISTS", K::Untagged, "", "", 12},
        {"* 0 exists", K::Untagged, "", "", 0},
        {"* 3 RECENT", K::Untagged, "", "", -1},
        {"* FLAGS (\\Seen)", K::Untagged, "", "", -1},
        {"C2 OK [READ-WRITE] Select completed", K::Tagged, "C2", "OK", -1},
        {"C1 no [AUTHENTICATIONFAILED] Authentication failed.", K::Tagged, "C1", "NO", -1},
        {"C3 BAD syntax", K::Tagged, "C3", "BAD", -1},
        {"C3 WHATEVER", K::Invalid, "C3", "", -1},
        {"+ go ahead", K::Continuation, "", "", -1},
        {"", K::Invalid, "", "", -1},
        {" OK", K::Invalid, "", "", -1},
    };
    for (const auto& c : cases) {
        const auto r = imap::ParseResponse(c.line);
        EXPECT_EQ(r.kind, c.kind) << c.line;
        if (c.kind == K::Tagged) {
            EXPECT_EQ(r.tag, c.tag) << c.line;
        }
        EXPECT_EQ(r.status, c.status) << c.line;
        EXPECT_EQ(r.exists.value_or(-1), c.exists) << c.line;
    }
    EXPECT_EQ(imap::ParseResponse("C1 NO [AUTHENTICATIONFAILED] Authentication failed.").text,
              "[AUTHENTICATIONFAILED] Authentication failed.");
}

TEST(ImapResponse, ArgumentsAndLiterals) {
    EXPECT_EQ(imap::Argument("mailbob"), "mailbob");
    EXPECT_EQ(imap::Argument("s3cret-Pw!#"), "s3cret-Pw!#");
    EXPECT_EQ(imap::Argument("two words"), "\"two words\"");
    EXPECT_EQ(imap::Argument("a\"b\\c"), "\"a\\\"b\\\\c\"");
    EXPECT_EQ(imap::Argument(""), "\"\"");
    EXPECT_EQ(imap::Argument("x{3}"), "\"x{3}\"");
    EXPECT_EQ(imap::Quoted("INBOX"), "\"INBOX\"");
    EXPECT_EQ(imap::Quoted(" Sent Items "), "\" Sent Items \"");

    EXPECT_EQ(imap::LiteralSize("* LIST () \"/\" {5}"), 5ULL);
    EXPECT_EQ(imap::LiteralSize("* X {12+}"), 12ULL);
    EXPECT_FALSE(imap::LiteralSize("* OK {}"));
    EXPECT_FALSE(imap::LiteralSize("* OK {x}"));
    EXPECT_FALSE(imap::LiteralSize("* OK done"));
}

TEST(FtpProxyLogin, SequencePerProxyType) {
    using S = ftp::Step;
    using K = ftp::Step::Kind;
    const std::string host = "ftp.example", user = "bob", pass = "pw";
    const std::vector<S> proxyLogin = {{K::User, "USER pu"}, {K::Pass, "PASS pp"}};
    const std::vector<S> userPass = {{K::User, "USER bob"}, {K::Pass, "PASS pw"}};
    auto concat = [](std::vector<S> a, const std::vector<S>& b) {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    };
    struct Case {
        long long type;
        std::string proxyUser, proxyPass;
        std::vector<S> steps;
    };
    const std::vector<Case> cases = {
        {0, "pu", "pp", userPass},
        {1, "pu", "pp", concat(concat(proxyLogin, {{K::Any, "SITE ftp.example"}}), userPass)},
        {1, "", "pp", concat({{K::Any, "SITE ftp.example"}}, userPass)},
        {2, "pu", "pp", concat(concat(proxyLogin, {{K::Any, "OPEN ftp.example"}}), userPass)},
        {2, "", "", concat({{K::Any, "OPEN ftp.example"}}, userPass)},
        {3, "pu", "pp", {{K::User, "USER bob@pu@ftp.example"}, {K::Pass, "PASS pw@pp"}}},
        {3, "pu", "", {{K::User, "USER bob@pu@ftp.example"}, {K::Pass, "PASS pw"}}},
        {4, "pu", "pp", concat(proxyLogin, {{K::User, "USER bob@ftp.example"}, {K::Pass, "PASS pw"}})},
        {4, "", "", {{K::User, "USER bob@ftp.example"}, {K::Pass, "PASS pw"}}},
        {5, "pu", "pp", concat(proxyLogin, userPass)},
        {5, "", "", userPass},
    };
    for (const auto& c : cases) {
        const ftp::ProxySettings proxy{"127.0.0.9", 2121, c.proxyUser, c.proxyPass, c.type};
        const auto plan = ftp::PlanLogin(proxy, host, 21, user, pass);
        EXPECT_EQ(plan.steps, c.steps) << "type " << c.type << " proxy user '" << c.proxyUser << "'";
        EXPECT_FALSE(plan.unsupported);
        EXPECT_EQ(plan.viaProxy, c.type != 0);
        EXPECT_EQ(plan.connectHost, c.type != 0 ? "127.0.0.9" : host);
        EXPECT_EQ(plan.connectPort, c.type != 0 ? 2121 : 21);
    }
}

TEST(FtpProxyLogin, WhenTheProxyApplies) {
    // Type 6 goes to the proxy and cannot log in.
    auto plan = ftp::PlanLogin({"127.0.0.9", 2121, "pu", "pp", 6}, "h", 21, "u", "p");
    EXPECT_TRUE(plan.unsupported);
    EXPECT_TRUE(plan.viaProxy);
    EXPECT_TRUE(plan.steps.empty());
    // No proxy port, no proxy host, or a type outside the list: direct, plain USER/PASS.
    for (const ftp::ProxySettings& p : {ftp::ProxySettings{"127.0.0.9", 0, "pu", "pp", 1},
                                        ftp::ProxySettings{"", 2121, "pu", "pp", 3},
                                        ftp::ProxySettings{"127.0.0.9", 2121, "pu", "pp", 7},
                                        ftp::ProxySettings{"127.0.0.9", 2121, "pu", "pp", -1}}) {
        plan = ftp::PlanLogin(p, "h", 21, "u", "p");
        EXPECT_FALSE(plan.viaProxy);
        EXPECT_FALSE(plan.unsupported);
        EXPECT_EQ(plan.connectHost, "h");
        EXPECT_EQ(plan.connectPort, 21);
        EXPECT_EQ(plan.steps, (std::vector<ftp::Step>{{ftp::Step::Kind::User, "USER u"},
                                                      {ftp::Step::Kind::Pass, "PASS p"}}));
    }
}

TEST(MailFtpText, ResultTexts) {
    using namespace mailftp;
    EXPECT_EQ(SucceedResult("10.0.0.9", "110", kPop3), "[10.0.0.9:110 POP3 Connection Succeed]");
    EXPECT_EQ(SucceedResult("10.0.0.9", "143", kImap), "[10.0.0.9:143 IMAP4 Connection Succeed]");
    EXPECT_EQ(NotConnectedResult("h", "21", kFtp), "[h:21 FTP Connection Error]");
    EXPECT_EQ(ConnectErrorResult("h", "25", kSmtp, "ERR10003 Invalid Host/IP]"),
              "[h:25 SMTP Connection Error:ERR10003 Invalid Host/IP]");
    EXPECT_EQ(AppendedError("SMTP Authentication Error:", "  5.7.8 Authentication credentials invalid \r\n"),
              " [SMTP Authentication Error:5.7.8 Authentication credentials invalid]");
}

TEST(MailFtpText, SafeText) {
    using mailftp::SafeText;
    EXPECT_EQ(SafeText("plain text"), "plain text");
    EXPECT_EQ(SafeText("gr\xC3\xBC\xC3\x9F dich \xE2\x82\xAC \xF0\x9F\x98\x80"),
              "gr\xC3\xBC\xC3\x9F dich \xE2\x82\xAC \xF0\x9F\x98\x80");
    // Invalid bytes, truncated sequences, overlong forms and surrogates become U+FFFD.
    EXPECT_EQ(SafeText("a\xFF" "b"), "a\xEF\xBF\xBD" "b");
    EXPECT_EQ(SafeText("a\xC3"), "a\xEF\xBF\xBD");
    EXPECT_EQ(SafeText("\xC0\xAF"), "\xEF\xBF\xBD\xEF\xBF\xBD");
    EXPECT_EQ(SafeText("\xED\xA0\x80"), "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD");
    // Control characters other than TAB, CR and LF are masked; NUL never passes.
    EXPECT_EQ(SafeText(std::string("a\0b\x1B[0m\tc\r\n", 11)), "a?b?[0m\tc\r\n");
    // Long text is cut at a character boundary and marked.
    EXPECT_EQ(SafeText(std::string(2000, 'x')), std::string(1000, 'x') + "...");
    EXPECT_EQ(SafeText("ab\xE2\x82\xAC", 4), "ab...");
}

} // namespace
} // namespace velmora
