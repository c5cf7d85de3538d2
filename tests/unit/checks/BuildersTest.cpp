// Building checks from service rows, and the paths of the checks that need no traffic.
#include "checks/CheckBuilders.h"
#include "checks/ThreadPingCheck.h"
#include "checks/ThreadTCPCheck.h"
#include "checks/ThreadUDPCheck.h"
#include "checks/ThreadURLCheck.h"

#include <gtest/gtest.h>
#include <set>
#include <openssl/ssl.h>

using namespace velmora;

namespace {

ServiceRow Row(std::initializer_list<std::pair<const char*, std::string>> cols) {
    ServiceRow r;
    for (const auto& [k, v] : cols) r.Set(k, v);
    return r;
}

template <class T>
std::unique_ptr<T> Build(const ServiceRow& row) {
    std::unique_ptr<CheckItem> item = BuildCheck(row);
    T* typed = dynamic_cast<T*>(item.get());
    EXPECT_NE(typed, nullptr) << row.Get("service");
    item.release();
    return std::unique_ptr<T>(typed);
}

} // namespace

TEST(CheckTypes, TableOfSeventeen) {
    const char* names[] = {"URL", "Ping", "SMTP", "POP3", "IMAP", "FTP", "TCP", "UDP", "DNS",
                           "NNTP", "SNTP", "Telnet", "Rsh", "MySQL", "WMI Process", "WMI HD Freespace",
                           "WMI Share Folder"};
    const auto& types = CheckTypes();
    ASSERT_EQ(types.size(), 17u);
    for (size_t i = 0; i < types.size(); ++i) {
        EXPECT_STREQ(types[i].name, names[i]);
        EXPECT_EQ(types[i].errorCode, "ERR900" + std::to_string(22 + i));
    }
    const std::set<std::string> tls = {"URL", "SMTP", "POP3", "IMAP", "FTP", "TCP", "NNTP", "Telnet", "Rsh"};
    for (const auto& t : types) EXPECT_EQ(t.tls, tls.count(t.name) == 1) << t.name;
    EXPECT_EQ(FindCheckType("tcp"), nullptr);
    EXPECT_FALSE(FindCheckType("DNS")->tls);  // never a TLS variant, whatever ssl_enable says
}

TEST(BuildCheck, UnknownTypesAreSkipped) {
    EXPECT_EQ(BuildCheck(Row({{"service", "LDAP"}, {"ip", "127.0.0.1"}})), nullptr);
    EXPECT_EQ(BuildCheck(Row({{"service", ""}})), nullptr);
    EXPECT_EQ(BuildCheck(Row({{"service", "Tcp"}})), nullptr);
}

TEST(BuildCheck, CommonColumnsAndTarget) {
    const ServiceRow row = Row({{"service", "TCP"}, {"id", "42"}, {"ip", "10.0.0.5"}, {"port", "25"},
                                {"no_of_cons_alarm", "3"}, {"current_no_of_cons_alarm", "2"},
                                {"reset_to_zero", "1"}, {"keep_on_sending", "4"}, {"alarm_email", "y"},
                                {"alarm_smpp", "Y"}, {"alarm_httpsms", "no"}, {"recovery_alarm_snpp", "t"}, {"service_status", "Failed"},
                                {"alarm_syslog_facility", "Kernel"}, {"alarm_snmp_version", "3"},
                                {"alarm_snmp_trap_username", "u"}, {"command", "HELO"}, {"timeout", "0"},
                                {"read_timeout", "-5"}});
    auto c = Build<ThreadTCPCheck>(row);
    ASSERT_TRUE(c);
    EXPECT_EQ(c->Context().origin, "Product");
    EXPECT_EQ(c->Context().id, 42);
    EXPECT_EQ(c->Context().no_of_cons_alarm, 3);
    EXPECT_EQ(c->Context().current_no_of_cons_alarm, 2);
    EXPECT_EQ(c->Context().reset_to_zero, 1);
    EXPECT_EQ(c->Context().keep_on_sending, 4);
    EXPECT_TRUE(c->Context().alarm_email);
    EXPECT_TRUE(c->Context().alarm_smpp);  // yes/no columns: first letter y, Y, t or T
    EXPECT_FALSE(c->Context().alarm_httpsms);
    EXPECT_FALSE(c->Context().alarm_syslog);
    EXPECT_TRUE(c->Context().recovery_alarm_snpp);
    EXPECT_EQ(c->Context().service_status, "Failed");
    EXPECT_EQ(c->Context().alarm_syslog_facility, "Kernel");
    EXPECT_EQ(c->Context().alarm_snmp_version, 3);
    EXPECT_EQ(c->Context().alarm_snmp_trap_username, "u");
    EXPECT_EQ(c->Host(), "10.0.0.5");
    EXPECT_EQ(c->Port(), "25");
    EXPECT_EQ(c->Settings().command, "HELO");
    EXPECT_EQ(c->Client()->ConnectTimeout(), 5000);
    EXPECT_EQ(c->Client()->ReadTimeout(), 5000);
    EXPECT_EQ(c->Client()->Tls(), nullptr);
    EXPECT_TRUE(c->passed);
    EXPECT_EQ(c->status, "Passed");
    EXPECT_EQ(c->result_text, "");
    EXPECT_EQ(c->response_time, 0);

    EXPECT_EQ(BuildCheck(row, "Setup")->Context().origin, "Setup");
}

TEST(BuildCheck, TlsVariantOnlyForExactlyY) {
    ServiceRow row = Row({{"service", "TCP"}, {"ip", "h"}, {"port", "1"}, {"ssl_method", "7"}, {"ssl_mode", "1"},
                          {"ssl_cipher_list", "HIGH"}, {"ssl_verify_depth", "3"}, {"ssl_peer", "y"},
                          {"ssl_fail", "y"}, {"ssl_once", ""}});
    for (const char* v : {"n", "Y", "yes", ""}) {
        row.Set("ssl_enable", v);
        EXPECT_EQ(Build<ThreadTCPCheck>(row)->Client()->Tls(), nullptr) << v;
    }
    row.Set("ssl_enable", "y");
    auto c = Build<ThreadTCPCheck>(row);
    ASSERT_NE(c->Client()->Tls(), nullptr);
    const net::TlsSettings& s = c->Client()->Tls()->Settings();
    EXPECT_EQ(s.method, net::TlsMethod::TLSv1);
    EXPECT_EQ(s.mode, net::TlsMode::Both);
    EXPECT_EQ(s.cipherList, "HIGH");
    EXPECT_EQ(s.verifyDepth, 3);
    EXPECT_EQ(s.VerifyModeBits(), SSL_VERIFY_NONE);  // "y", "y", "" empties the set

    // Ping and UDP have no TLS variant: "y" changes nothing.
    EXPECT_NE(BuildCheck(Row({{"service", "UDP"}, {"ssl_enable", "y"}})), nullptr);
    EXPECT_NE(BuildCheck(Row({{"service", "Ping"}, {"ssl_enable", "y"}})), nullptr);
}

TEST(BuildCheck, UrlNormalisation) {
    struct Case {
        const char* address;
        bool ssl;
        const char* expected;
    } cases[] = {
        {"www.example.com/x", false, "http://www.example.com/x"},
        {"www.example.com/x", true, "https://www.example.com/x"},
        {"HTTPS://Example.com", false, "HTTPS://Example.com"},
        {"Http://example.com", true, "Http://example.com"},
        {"httpx.example.com", false, "http://httpx.example.com"},
        {"", true, ""},
    };
    for (const auto& c : cases) EXPECT_EQ(NormaliseUrl(c.address, c.ssl), c.expected) << c.address;

    ServiceRow row = Row({{"service", "URL"}, {"ip", "127.0.0.1/page"}, {"port", "80"}});
    EXPECT_EQ(BuildCheck(row)->Host(), "http://127.0.0.1/page");
    row.Set("ssl_enable", "y");
    auto tls = Build<ThreadURLCheck>(row);
    EXPECT_EQ(tls->Host(), "https://127.0.0.1/page");
    EXPECT_TRUE(tls->Tls());
}

TEST(URLCheck, MethodsBodiesAndHeaders) {
    struct Case {
        const char* method;
        const char* expected;
    } methods[] = {{"Get", "GET"}, {"Post", "POST"}, {"Put", "PUT"}, {"Trace", "TRACE"}, {"Delete", "DELETE"},
                   {"Head", "HEAD"}, {"Options", "OPTIONS"}, {"GET", "HEAD"}, {"post", "HEAD"}, {"", "HEAD"}};
    for (const auto& m : methods) {
        ServiceRow row = Row({{"service", "URL"}, {"ip", "h"}, {"url_method", m.method}});
        EXPECT_EQ(Build<ThreadURLCheck>(row)->Method(), m.expected) << m.method;
    }

    ServiceRow row = Row({{"service", "URL"}, {"ip", "h"}, {"url_method", "Post"}, {"url_content_type", "TEXT/HTML"},
                          {"url_header_data", "X-Probe=a=b"}, {"url_accept", "text/html, */*"},
                          {"url_user_agent", "Mozilla/3.0"}, {"url_max_redirect", "0"}});
    row.urlDetails = {{"name", "a b&c"}, {"plain", "x"}};
    auto post = Build<ThreadURLCheck>(row);
    EXPECT_EQ(post->Body(), "name=a%20b%26c&plain=x");
    EXPECT_EQ(post->MaxRedirects(), 5);
    const std::vector<std::string> headers = {"X-Probe: a=b", "Accept: text/html, */*",
                                              "Content-Type: application/x-www-form-urlencoded",
                                              "User-Agent: Mozilla/3.0"};
    EXPECT_EQ(post->Headers(), headers);

    row.Set("url_content_type", "text/plain");
    EXPECT_EQ(Build<ThreadURLCheck>(row)->Headers()[2], "Content-Type: text/plain");
    row.Set("url_content_type", "");
    EXPECT_EQ(Build<ThreadURLCheck>(row)->Headers()[2], "Content-Type: application/x-www-form-urlencoded");

    row.Set("url_method", "Put");
    row.Set("url_content_type", "text/plain");
    auto put = Build<ThreadURLCheck>(row);
    EXPECT_EQ(put->Body(), "name=a b&c\r\nplain=x\r\n");
    EXPECT_EQ(put->Headers()[2], "Content-Type: text/plain");

    row.Set("url_method", "Get");
    row.Set("url_max_redirect", "12");
    EXPECT_EQ(Build<ThreadURLCheck>(row)->Body(), "");
    EXPECT_EQ(Build<ThreadURLCheck>(row)->MaxRedirects(), 12);
    EXPECT_EQ(UrlEncodedFormBody({" lead=x "}), "lead=x%20");
    EXPECT_EQ(UrlEncodedFormBody({"solo"}), "solo");
}

TEST(Checks, PathsWithoutTraffic) {
    struct Case {
        ServiceRow row;
        bool passed;
        const char* text;
    };
    const Case cases[] = {
        {Row({{"service", "TCP"}, {"ip", ""}, {"port", "80"}}), false, "[:80 TCP Connection Error:ERR10001 Host/IP required]"},
        {Row({{"service", "TCP"}, {"ip", "127.0.0.1"}, {"port", "0"}}), false,
         "[127.0.0.1:0 TCP Connection Error:ERR10002 Port required]"},
        {Row({{"service", "TCP"}, {"ip", "127.0.0.1"}, {"port", "70000"}}), false,
         "[127.0.0.1:70000 TCP Connection Error:Port 70000 is out of range (1 to 65535).]"},
        {Row({{"service", "TCP"}, {"ip", "127.0.0.1"}, {"port", "-8"}}), false,
         "[127.0.0.1:-8 TCP Connection Error:Port -8 is out of range (1 to 65535).]"},
        {Row({{"service", "UDP"}, {"ip", "127.0.0.1"}, {"port", "53"}, {"command", "   "}}), true, ""},
        {Row({{"service", "UDP"}, {"ip", ""}, {"port", "53"}, {"command", "x"}}), false,
         "[:53 UDP Connection Error:ERR10001 Host/IP required]"},
        {Row({{"service", "UDP"}, {"ip", "127.0.0.1"}, {"port", "0"}, {"command", "x"}}), false,
         "[127.0.0.1:0 UDP Connection Error:ERR10002 Port required]"},
        {Row({{"service", "Ping"}, {"ip", ""}, {"port", "0"}}), false, "[ PING Error:ERR10001 Host/IP required]"},
        {Row({{"service", "Ping"}, {"ip", ""}, {"port", "7"}}), false, "[:7 PING Error:ERR10001 Host/IP required]"},
        {Row({{"service", "URL"}, {"ip", ""}, {"port", "80"}}), false, "[:80 HTTP Request Error:ERR10001 Host/IP required]"},
    };
    for (const Case& c : cases) {
        auto check = BuildCheck(c.row);
        ASSERT_NE(check, nullptr);
        check->Run();
        EXPECT_EQ(check->passed, c.passed) << c.text;
        EXPECT_EQ(check->status, c.passed ? "Passed" : "Failed") << c.text;
        EXPECT_EQ(check->result_text, c.text);
        EXPECT_GE(check->response_time, 0);
        EXPECT_LT(check->response_time, 1000) << c.text;
        EXPECT_EQ(check->poolOutcome, PoolOutcome::Completed);
    }
}
