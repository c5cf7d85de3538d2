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

} // namespace
} // namespace velmora::mailtest
