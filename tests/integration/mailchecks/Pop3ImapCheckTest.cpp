// The POP3 and IMAP checks against Dovecot on 127.0.0.1.
#include "MailCheckRunners.h"

#include <gtest/gtest.h>

namespace velmora::mailtest {
namespace {

// ------------------------------------------------------------------------------------------
// POP3

TEST(Pop3Check, UserPassAndMessageCount) {
    const int port = ServerPort("dovecot", "POP3_PORT");
    const std::string ok = "[127.0.0.1:" + P(port) + " POP3 Connection Succeed]";
    Outcome o = Pop3(port, Pop3User(0, true));
    EXPECT_TRUE(o.passed) << o.text;
    EXPECT_EQ(o.text, ok + " [Number Of Messages = " + ServerValue("dovecot", "MESSAGES") + "]");

    o = Pop3(port, Pop3User(0, false));
    EXPECT_TRUE(o.passed);
    EXPECT_EQ(o.text, ok);

    o = Pop3(port, Pop3User(0, true, "wrong-password"));
    EXPECT_FALSE(o.passed);
    EXPECT_EQ(o.text, "[127.0.0.1:" + P(port) + " POP3 Connection Error:[AUTH] Authentication failed.]");

    const int tls = ServerPort("dovecot", "POP3S_PORT");
    o = Pop3(tls, Pop3User(0, true), true);
    EXPECT_TRUE(o.passed) << o.text;
    EXPECT_EQ(o.text, "[127.0.0.1:" + P(tls) + " POP3 Connection Succeed] [Number Of Messages = 3]");
}

TEST(Pop3Check, Apop) {
    const int port = ServerPort("dovecot", "POP3_PORT");
    Outcome o = Pop3(port, Pop3User(1, true));
    EXPECT_TRUE(o.passed) << o.text;
    EXPECT_EQ(o.text, "[127.0.0.1:" + P(port) + " POP3 Connection Succeed] [Number Of Messages = 3]");

    o = Pop3(port, Pop3User(1, false, "wrong-password"));
    EXPECT_FALSE(o.passed);
    EXPECT_EQ(o.text, "[127.0.0.1:" + P(port) + " POP3 Connection Error:[AUTH] Authentication failed.]");

    const int noApop = ServerPort("dovecot", "NOAPOP_PORT");
    o = Pop3(noApop, Pop3User(1, true));
    EXPECT_FALSE(o.passed);
    EXPECT_EQ(o.text, "[127.0.0.1:" + P(noApop) +
                          " POP3 Connection Error:Server do not support APOP (no timestamp)]");
    // The same server takes USER and PASS.
    EXPECT_TRUE(Pop3(noApop, Pop3User(0, true)).passed);
}

// ------------------------------------------------------------------------------------------
// IMAP

TEST(ImapCheck, LoginAndSelect) {
    const int port = ServerPort("dovecot", "IMAP_PORT");
    const std::string ok = "[127.0.0.1:" + P(port) + " IMAP4 Connection Succeed]";

    Outcome o = Imap(port, ImapUser("INBOX"));
    EXPECT_TRUE(o.passed) << o.text;
    EXPECT_EQ(o.text, ok + " [IMAP4 MailBox INBOX exists. Number Of Messages = 3]");

    o = Imap(port, ImapUser("No Such Box"));
    EXPECT_FALSE(o.passed);
    EXPECT_EQ(o.text, ok + " [IMAP4 MailBox No Such Box does not exist]");

    // Without a mailbox only the connection counts; blanks are no mailbox.
    for (const char* box : {"", "   "}) {
        o = Imap(port, ImapUser(box));
        EXPECT_TRUE(o.passed);
        EXPECT_EQ(o.text, ok);
    }

    // A refused login is noticed only when a mailbox is to be selected.
    o = Imap(port, ImapUser("", "wrong-password"));
    EXPECT_TRUE(o.passed) << o.text;
    EXPECT_EQ(o.text, ok);
    o = Imap(port, ImapUser("INBOX", "wrong-password"));
    EXPECT_FALSE(o.passed);
    EXPECT_EQ(o.text, ok + " [IMAP4 Select MailBox Error:Not authenticated: cannot select a mailbox "
                           "(LOGIN refused: [AUTHENTICATIONFAILED] Authentication failed.).]");

    const int tls = ServerPort("dovecot", "IMAPS_PORT");
    o = Imap(tls, ImapUser("INBOX"), true);
    EXPECT_TRUE(o.passed) << o.text;
    EXPECT_EQ(o.text, "[127.0.0.1:" + P(tls) +
                          " IMAP4 Connection Succeed] [IMAP4 MailBox INBOX exists. Number Of Messages = 3]");
}

TEST(Pop3ImapCheck, BuiltFromServiceRowAndRunByVelmoractl) {
    const std::string user = ServerValue("dovecot", "USER"), pw = ServerValue("dovecot", "PASSWORD");
    const int pop3s = ServerPort("dovecot", "POP3S_PORT");
    Outcome o = RunRow(MakeRow("POP3", pop3s, {{"ssl_enable", "y"}, {"username", user}, {"password", pw},
                                               {"auth_type", "1"}, {"pop3_check_total_msg", "1"}}));
    EXPECT_TRUE(o.passed) << o.text;
    EXPECT_EQ(o.text, "[127.0.0.1:" + P(pop3s) + " POP3 Connection Succeed] [Number Of Messages = 3]");

    const int imaps = ServerPort("dovecot", "IMAPS_PORT");
    o = RunRow(MakeRow("IMAP", imaps, {{"ssl_enable", "y"}, {"username", user}, {"password", pw},
                                       {"imap_mailbox", "INBOX"}}));
    EXPECT_TRUE(o.passed) << o.text;
    EXPECT_EQ(o.text, "[127.0.0.1:" + P(imaps) +
                          " IMAP4 Connection Succeed] [IMAP4 MailBox INBOX exists. Number Of Messages = 3]");

    const int pop3 = ServerPort("dovecot", "POP3_PORT");
    CliResult r = Velmoractl({"--type", "POP3", "--host", kHost, "--port", P(pop3), "--set", "username=" + user,
                              "--set", "password=" + pw, "--set", "pop3_check_total_msg=1"});
    EXPECT_EQ(r.exit, 0);
    EXPECT_EQ(r.out.rfind(CliHead("[127.0.0.1:" + P(pop3) + " POP3 Connection Succeed] [Number Of Messages = 3]",
                                  "Passed"), 0), 0u)
        << r.out;
    const int imap = ServerPort("dovecot", "IMAP_PORT");
    r = Velmoractl({"--type", "IMAP", "--host", kHost, "--port", P(imap), "--set", "username=" + user,
                    "--set", "password=" + pw, "--set", "imap_mailbox=Nope"});
    EXPECT_EQ(r.exit, 1);
    EXPECT_EQ(r.out.rfind(CliHead("[127.0.0.1:" + P(imap) +
                                      " IMAP4 Connection Succeed] [IMAP4 MailBox Nope does not exist]",
                                  "Failed"),
                          0),
              0u)
        << r.out;
}

} // namespace
} // namespace velmora::mailtest
