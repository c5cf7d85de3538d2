// velmoractl alarm against the real receivers, with settings from the command line and from
// the alarm_method table of the private MariaDB server.
#include "AlarmTestUtil.h"
#include "store/ZUVOzedovUzivara.h"

#include "foundation/InitSettings.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <sys/wait.h>

using namespace velmora;
using namespace velmora::test;

namespace {

struct CtlRun {
    int code = -1;
    std::string out;
};

std::string Quote(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

CtlRun Ctl(const std::vector<std::string>& args) {
    std::string cmd = BinaryDir() + "/cli/velmoractl alarm";
    for (const auto& a : args) cmd += " " + Quote(a);
    cmd += " 2>/dev/null";
    CtlRun r;
    FILE* p = ::popen(cmd.c_str(), "r");
    if (!p) return r;
    char buf[4096];
    for (size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;) r.out.append(buf, n);
    const int st = ::pclose(p);
    r.code = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return r;
}

std::string Port(const char* server, const char* key = "PORT") { return std::to_string(ServerPort(server, key)); }

class CliAlarm : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(app / "conf");
        WriteFile(app / "conf/SysInit.ini",
                  "[Database]\r\nHost=127.0.0.1\r\nPort=" + Port("mariadb") + "\r\n");
    }
    // Common arguments: the app dir and no database.
    std::vector<std::string> NoDb(std::vector<std::string> a) const {
        a.insert(a.end(), {"--no-db", "--app-dir", app.path()});
        return a;
    }
    AppDirScope scope;   // this process's own settings and log
    TempDir app;         // the application directory of the velmoractl runs
};

} // namespace

TEST_F(CliAlarm, ReproducesEachSender) {
    CtlRun r = Ctl(NoDb({"--method", "SMS", "--to", "0123", "--message", "x", "--set", "ip=127.0.0.1", "--set",
                         "port=" + Port("smsc"), "--set", "authenticate=1", "--set", "username=refuse", "--set",
                         "timeout=1000"}));
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, "[ERR00802 : SMPP Binding Failed, please make sure username, password, TON/NPI/System "
                     "Type/Version/OA are correct. : 14]\nstatus: Error\n");

    r = Ctl(NoDb({"--method", "SMS by HTTP", "--to", "0123 456", "--message", "[A:1 up]", "--set",
                  "ip=127.0.0.1:" + Port("httpgateway") + "/send?to=$MSISDN&msg=$MESSAGE&cli=1", "--set",
                  "url_method=Get"}));
    EXPECT_EQ(r.code, 0) << r.out;
    EXPECT_EQ(r.out, "[HTTP Alarm Sent Succeed]\nstatus: Sent\nresponse_code: 200\n");
    EXPECT_FALSE(LinesWith(ServerValue("httpgateway", "LOG"), {"GET /send?to=0123+456&msg=%5BA%3A1+up%5D&cli=1 "}).empty());

    r = Ctl(NoDb({"--method", "SMS by HTTP", "--to", "1", "--message", "x", "--set",
                  "ip=HTTPS://127.0.0.1:" + Port("httpgateway", "TLS_PORT") + "/status/404", "--set", "port=443"}));
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, "[HTTPS://127.0.0.1:" + Port("httpgateway", "TLS_PORT") +
                         "/status/404:443 HTTP Alarm Connection Error:HTTP/1.1 404 Not Found]\nstatus: Error\n"
                         "response_code: 404\n");

    r = Ctl(NoDb({"--method", "SysLog", "--to", "127.0.0.1", "--message", "cli-syslog [x:1]", "--set",
                  "ip=127.0.0.1", "--set", "port=" + Port("syslogd"), "--param", "alarm_syslog_facility=Local Use Seven",
                  "--param", "alarm_syslog_severity=Debug"}));
    EXPECT_EQ(r.out, "[SysLog Alarm Sent Succeed]\nstatus: Sent\n");
    EXPECT_TRUE(WaitUntil([] {
        return !LinesWith(ServerValue("syslogd", "LOG"), {"pri=191|", "msg=cli-syslog [x:1]"}).empty();
    }));

    r = Ctl(NoDb({"--method", "SNMP", "--to", "127.0.0.1", "--message", "unused", "--set", "ip=127.0.0.1", "--set",
                  "port=0", "--set", "snmp_trap_port=" + Port("snmptrapd"), "--param", "alarm_snmp_version=1", "--param",
                  "alarm_snmp_trap_oid=6.77", "--param", "alarm_snmp_trap_community=private", "--param",
                  "alarm_snmp_trap_enterprise=1.3.6.1.4.1.9999"}));
    EXPECT_EQ(r.out, "[SNMP Alarm Sent Succeed]\nstatus: Sent\n");
    EXPECT_TRUE(WaitUntil([] {
        return !LinesWith(ServerValue("snmptrapd", "LOG"),
                          {"community private", "enterprise=.1.3.6.1.4.1.9999", "specific=.77"})
                    .empty();
    }));

    r = Ctl(NoDb({"--method", "SNPP", "--to", "refuse-cli", "--message", "x", "--set", "ip=127.0.0.1", "--set",
                  "port=" + Port("snppd")}));
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, "[SNPP Alarm Sent Error:Error, Invalid Pager ID]\nstatus: Error\n");

    r = Ctl(NoDb({"--method", "Email", "--to", "a@example.test;b@example.test", "--message", "cli-starttls",
                  "--set", "ip=127.0.0.1", "--set", "port=" + Port("smtpd", "STARTTLS_PORT"), "--set",
                  "smtp_from_address=alarms@velmora.test", "--set", "authenticate=1", "--set", "username=alarm",
                  "--set", "password=secret"}));
    EXPECT_EQ(r.out, "[SMTP Alarm Sent Succeed]\nstatus: Sent\n");
    const auto m = LinesWith(ServerValue("smtpd", "LOG"), {"cli-starttls"});
    ASSERT_EQ(m.size(), 1u);
    EXPECT_NE(m[0].find("\"rcpt_tos\": [\"a@example.test\", \"b@example.test\"], \"tls\": true"), std::string::npos)
        << m[0];
}

TEST_F(CliAlarm, StoredSettingsWithOverrides) {
    InitSettings().Host = "127.0.0.1";
    InitSettings().Port = Port("mariadb");
    InitSettings().DBUsername = "root";
    InitSettings().DBPassword = "";
    ZUVOzedovUzivara db;
    ASSERT_TRUE(db.OpenAtStart());
    db.Execute("delete from alarm_method");
    db.Execute("delete from alarm_method_extra_fields");
    auto insert = [&](const std::string& type, const std::string& ip, const std::string& port,
                      const std::string& more = "", const std::string& moreValues = "") {
        db.Execute("insert into alarm_method (type, enable, ip, port" + more + ") values (" + db.Quote(type) +
                   ", 1, " + db.Quote(ip) + ", " + port + moreValues + ")");
    };
    insert("Email", "nowhere", "25");
    insert("Email", "HTTP://127.0.0.1", Port("smtpd"), ", authenticate, username, password, smtp_from_address",
           ", 1, \"alarm\", \"secret\", \"db@velmora.test\"");
    insert("SMS by HTTP", "127.0.0.1:" + Port("httpgateway") + "/db-post", "80",
           ", url_method, field_msisdn, field_message", ", \"Post\", \"to\", \"text\"");
    db.Execute("insert into alarm_method_extra_fields (field_name, field_value) values (\"user\", \"a&b\")");

    CtlRun r = Ctl({"--method", "Email", "--to", "x@example.test", "--message", "cli-db-mail", "--app-dir", app.path()});
    EXPECT_EQ(r.out, "[SMTP Alarm Sent Succeed]\nstatus: Sent\n");
    const auto m = LinesWith(ServerValue("smtpd", "LOG"), {"cli-db-mail"});
    ASSERT_EQ(m.size(), 1u);
    EXPECT_NE(m[0].find("\"mail_from\": \"db@velmora.test\""), std::string::npos) << m[0];

    r = Ctl({"--method", "SMS by HTTP", "--to", "0123", "--message", "db text", "--app-dir", app.path()});
    EXPECT_EQ(r.code, 0) << r.out;
    EXPECT_FALSE(LinesWith(ServerValue("httpgateway", "LOG"),
                           {"POST /db-post", "\"body\": \"to=0123&text=db+text&user=a%26b\""})
                     .empty());

    // --set over the stored row: the wrong password is refused.
    r = Ctl({"--method", "Email", "--to", "x@example.test", "--message", "m", "--set", "password=bad", "--app-dir",
             app.path()});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, "[SMTP Alarm Authentication Error:5.7.8 Authentication credentials invalid]\nstatus: Error\n");
}

TEST_F(CliAlarm, BadUsage) {
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"--method", "Email", "--to", "a"},
             {"--method", "email", "--to", "a", "--message", "m"},
             {"--method", "SysLog", "--to", "a", "--message", "m", "--set", "nosuch=1"},
             {"--method", "SysLog", "--to", "a", "--message", "m", "--param", "alarm_x=1"},
             {"--method", "SysLog", "--to", "a", "--message", "m", "--set", "ip"},
         })
        EXPECT_EQ(Ctl(NoDb(args)).code, 2) << args[1];
}
