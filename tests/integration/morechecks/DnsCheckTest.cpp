// The DNS check against dnsmasq on loopback (A and PTR records under velmora.test) and
// against small name servers that answer badly.
#include "LoopbackServers.h"
#include "checks/CheckBuilders.h"
#include "checks/ThreadDNSCheck.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

using namespace velmora;

namespace {
std::string Host() { return "127.0.0.1"; }
int Port() { return test::ServerPort("dnsmasq"); }

ThreadDNSCheck Make(int port, long long type, std::string request, std::string expect, long long timeout = 2000) {
    return ThreadDNSCheck(CheckContext{}, nullptr, Host(), port, {type, std::move(request), std::move(expect), timeout});
}
} // namespace

TEST(DnsCheck, ResultTextsAgainstARealNameServer) {
    const std::string p = std::to_string(Port());
    struct Case {
        long long type;
        const char* request;
        const char* expect;
        bool passed;
        std::string text;
    } cases[] = {
        {0, "www.velmora.test", "", true, "[127.0.0.1:" + p + " DNS succeed. DNS Result: 127.0.0.10]"},
        {0, "www.velmora.test", "   ", true, "[127.0.0.1:" + p + " DNS succeed. DNS Result: 127.0.0.10]"},
        {0, "www.velmora.test", " 127.0.0.10 ", true, "[127.0.0.1:" + p + " DNS succeed. DNS Result matches 127.0.0.10]"},
        {0, "www.velmora.test", "127.0.0.11", false, "[127.0.0.1:" + p + " DNS Error. DNS result does not match]"},
        // PTR for every type other than 0; the expected name matches without regard to case.
        {1, "127.0.0.20", "MAIL.VELMORA.TEST", true, "[127.0.0.1:" + p + " DNS succeed. DNS Result matches mail.velmora.test]"},
        {2, "127.0.0.10", "", true, "[127.0.0.1:" + p + " DNS succeed. DNS Result: www.velmora.test]"},
        {1, "127.0.0.10", "mail.velmora.test", false, "[127.0.0.1:" + p + " DNS Error. DNS result does not match]"},
    };
    for (const auto& c : cases) {
        auto check = Make(Port(), c.type, c.request, c.expect);
        check.Execute();
        EXPECT_EQ(check.passed, c.passed) << c.request;
        EXPECT_EQ(check.status, c.passed ? "Passed" : "Failed");
        EXPECT_EQ(check.result_text, c.text);
    }
}

TEST(DnsCheck, ErrorRepliesAndTimeoutsAreConnectionErrors) {
    const std::string p = std::to_string(Port());
    auto unknown = Make(Port(), 0, "nope.velmora.test", "");
    unknown.Execute();
    EXPECT_FALSE(unknown.passed);
    EXPECT_EQ(unknown.result_text.rfind("[127.0.0.1:" + p + " DNS Connection Error:", 0), 0u) << unknown.result_text;
    EXPECT_NE(unknown.result_text, "[127.0.0.1:" + p + " DNS Connection Error:]");

    // A server that never answers: "TimedOut" after the waiting time.
    test::UdpResponder silent([](const std::string&) { return std::nullopt; });
    auto quiet = Make(silent.port(), 0, "www.velmora.test", "", 700);
    quiet.Execute();
    EXPECT_EQ(quiet.result_text, "[127.0.0.1:" + std::to_string(silent.port()) + " DNS Connection Error:TimedOut]");
    EXPECT_GE(quiet.response_time, 650);
    EXPECT_LT(quiet.response_time, 3000);

    auto noHost = ThreadDNSCheck(CheckContext{}, nullptr, "", 53, {0, "x", "", 500});
    noHost.Execute();
    EXPECT_EQ(noHost.result_text, "[:53 DNS Connection Error:ERR10001 Host/IP required]");
    auto noPort = Make(0, 0, "x", "");
    noPort.Execute();
    EXPECT_EQ(noPort.result_text, "[127.0.0.1:0 DNS Connection Error:ERR10002 Port required]");
}

TEST(DnsCheck, DamagedRepliesFailWithoutHanging) {
    // Replies built on the real query: same id and question, then a damaged answer part.
    auto damage = [](int how) {
        return [how](const std::string& q) -> std::optional<std::string> {
            if (q.size() < 12) return std::nullopt;
            std::string r = q;
            r[2] = static_cast<char>(0x81);
            r[3] = static_cast<char>(0x80);
            switch (how) {
            case 0: return std::string("\x12\x34", 2) + "\x81";  // 3 bytes
            case 1:  // claims one answer, carries half of one
                r[7] = 1;
                return r + std::string("\xC0\x0C\x00\x01\x00\x01\x00\x00", 8);
            case 2:  // the answer's length runs past the end
                r[7] = 1;
                return r + std::string("\xC0\x0C\x00\x01\x00\x01\x00\x00\x00\x3C\x00\xFF\x01\x02", 14);
            case 3:  // no answer at all
                return r;
            default:  // random bytes after the question
                r[7] = 5;
                return r + std::string(300, '\xFF');
            }
        };
    };
    for (int how = 0; how < 5; ++how) {
        test::UdpResponder server(damage(how));
        auto check = Make(server.port(), 0, "www.velmora.test", "", 800);
        check.Execute();
        EXPECT_FALSE(check.passed) << how;
        EXPECT_EQ(check.result_text.rfind("[127.0.0.1:" + std::to_string(server.port()) + " DNS Connection Error:", 0), 0u)
            << check.result_text;
        EXPECT_LT(check.response_time, 3000) << how;
        if (how == 0) {  // fewer than 5 bytes: no reply at all
            EXPECT_EQ(check.result_text, "[127.0.0.1:" + std::to_string(server.port()) + " DNS Connection Error:TimedOut]");
        }
    }
}

TEST(DnsCheck, BuiltFromAServiceRow) {
    ServiceRow row;
    row.Set("service", "DNS");
    row.Set("ip", "127.0.0.1");
    row.Set("port", std::to_string(Port()));
    row.Set("dns_query_type", "0");
    row.Set("dns_request_ip_domain", "mail.velmora.test");
    row.Set("dns_expect_ip_domain", "127.0.0.20");
    row.Set("timeout", "0");
    auto check = BuildCheck(row);
    ASSERT_TRUE(check);
    check->Execute();
    EXPECT_TRUE(check->passed);
    EXPECT_EQ(check->result_text, "[127.0.0.1:" + std::to_string(Port()) + " DNS succeed. DNS Result matches 127.0.0.20]");
}
