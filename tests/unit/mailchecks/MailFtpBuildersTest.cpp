// The builders of the SMTP, POP3, IMAP and FTP checks: which class a service row makes and
// which of its columns reach the check.
#include "checks/CheckBuilders.h"
#include "checks/ThreadFTPCheck.h"
#include "checks/ThreadIMAPCheck.h"
#include "checks/ThreadPOP3Check.h"
#include "checks/ThreadSMTPCheck.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

ServiceRow Row(const std::string& type) {
    ServiceRow row;
    row.Set("service", type);
    row.Set("ip", "127.0.0.1");
    row.Set("port", "2525");
    row.Set("id", "42");
    row.Set("username", "bob");
    row.Set("password", "pw");
    row.Set("timeout", "1500");
    row.Set("read_timeout", "2500");
    row.Set("tls_type", "2");
    return row;
}

TEST(MailFtpBuilders, MakeTheirClassesWithTheRowsColumns) {
    for (const char* type : {"SMTP", "POP3", "IMAP", "FTP"}) {
        const CheckType* t = FindCheckType(type);
        ASSERT_NE(t, nullptr);
        EXPECT_TRUE(t->tls) << type;
        EXPECT_NE(t->build, nullptr) << type;
    }

    ServiceRow smtp = Row("SMTP");
    smtp.Set("smtp_mail_agent", "Agent 1");
    smtp.Set("auth_type", "1");
    auto item = BuildCheck(smtp);
    auto* s = dynamic_cast<ThreadSMTPCheck*>(item.get());
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->ServiceType(), "SMTP");
    EXPECT_EQ(s->Host(), "127.0.0.1");
    EXPECT_EQ(s->Port(), "2525");
    EXPECT_EQ(s->Context().id, 42);
    EXPECT_EQ(s->Context().origin, "Product");
    EXPECT_EQ(s->Settings().mailAgent, "Agent 1");
    EXPECT_EQ(s->Settings().authType, 1);
    EXPECT_EQ(s->Settings().timeout, 1500);
    EXPECT_EQ(s->Settings().readTimeout, 2500);
    EXPECT_EQ(s->Settings().username, "bob");
    EXPECT_EQ(s->Settings().password, "pw");
    EXPECT_TRUE(s->passed);
    EXPECT_EQ(s->status, "Passed");
    EXPECT_EQ(s->result_text, "");

    ServiceRow pop3 = Row("POP3");
    pop3.Set("auth_type", "1");
    pop3.Set("pop3_check_total_msg", "5");
    item = BuildCheck(pop3);
    auto* p = dynamic_cast<ThreadPOP3Check*>(item.get());
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->Settings().authType, 1);
    EXPECT_TRUE(p->Settings().checkTotalMsg);
    pop3.Set("pop3_check_total_msg", "0");
    item = BuildCheck(pop3);
    EXPECT_FALSE(dynamic_cast<ThreadPOP3Check*>(item.get())->Settings().checkTotalMsg);

    ServiceRow imap = Row("IMAP");
    imap.Set("imap_mailbox", " INBOX ");
    item = BuildCheck(imap);
    auto* m = dynamic_cast<ThreadIMAPCheck*>(item.get());
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->Settings().mailbox, " INBOX ");  // kept untrimmed for SELECT

    ServiceRow ftp = Row("FTP");
    ftp.Set("ftp_is_passive", "1");
    ftp.Set("ftp_proxytype", "3");
    ftp.Set("proxy_ip", "127.0.0.5");
    ftp.Set("proxy_port", "2121");
    ftp.Set("proxy_username", "pu");
    ftp.Set("proxy_password", "pp");
    ftp.Set("ftp_account", "acct");
    item = BuildCheck(ftp);
    auto* f = dynamic_cast<ThreadFTPCheck*>(item.get());
    ASSERT_NE(f, nullptr);
    EXPECT_TRUE(f->Settings().passive);
    EXPECT_EQ(f->Settings().proxy.type, 3);
    EXPECT_EQ(f->Settings().proxy.host, "127.0.0.5");
    EXPECT_EQ(f->Settings().proxy.port, 2121);
    EXPECT_EQ(f->Settings().proxy.username, "pu");
    EXPECT_EQ(f->Settings().proxy.password, "pp");
    EXPECT_EQ(f->Settings().account, "acct");
}

TEST(MailFtpBuilders, FtpChangesDirectoryOnlyOnScheduledRuns) {
    auto scheduled = BuildCheck(Row("FTP"), "Product");
    EXPECT_EQ(dynamic_cast<ThreadFTPCheck*>(scheduled.get())->Settings().directory, "/");
    auto test = BuildCheck(Row("FTP"), "Setup");
    EXPECT_EQ(dynamic_cast<ThreadFTPCheck*>(test.get())->Settings().directory, "");
}

TEST(MailFtpBuilders, PortTextAndMissingHost) {
    // A port that is not a number is shown (and used) as 0; a check built from such a row
    // fails with the port error instead of connecting anywhere.
    ServiceRow row = Row("POP3");
    row.Set("port", "pop");
    auto item = BuildCheck(row);
    EXPECT_EQ(item->Port(), "0");
    item->Execute();
    EXPECT_EQ(item->result_text, "[127.0.0.1:0 POP3 Connection Error:ERR10002 Port required]");

    row = Row("IMAP");
    row.Set("ip", "");
    item = BuildCheck(row);
    item->Execute();
    EXPECT_EQ(item->result_text, "[:2525 IMAP4 Connection Error:ERR10001 Host/IP required]");
    EXPECT_FALSE(item->passed);
}

} // namespace
} // namespace velmora
