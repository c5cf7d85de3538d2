// ThreadSNMP through one shared TrapSender against snmptrapd (v1, v2c, v3 with a USM user).
#include "AlarmTestUtil.h"
#include "alarms/ThreadSNMP.h"

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::test;

namespace {

AlarmMethodSettings::Snmp Receiver() {
    AlarmMethodSettings::Snmp s;
    s.enabled = true;
    s.host = "127.0.0.1";
    s.port = 0;   // any free local port
    s.trap_port = ServerPort("snmptrapd");
    s.local_host = "127.0.0.1";
    return s;
}

AlarmParams Trap(int version, const std::string& oid, const std::string& community = "",
                 const std::string& enterprise = "") {
    AlarmParams p;
    p.alarm_snmp_version = version;
    p.alarm_snmp_trap_oid = oid;
    p.alarm_snmp_trap_community = community;
    p.alarm_snmp_trap_enterprise = enterprise;
    p.alarm_snmp_trap_username = ServerValue("snmptrapd", "V3_USER");
    p.alarm_snmp_trap_password = ServerValue("snmptrapd", "V3_PASSWORD");
    return p;
}

std::string TrapLine(const std::vector<std::string>& parts) {
    std::string line;
    WaitUntil([&] {
        auto l = LinesWith(ServerValue("snmptrapd", "LOG"), parts);
        if (!l.empty()) line = l.back();
        return !l.empty();
    });
    return line;
}

std::string Send(TrapSender& t, const AlarmMethodSettings::Snmp& s, const AlarmParams& p) {
    ThreadSNMP snmp(t, s, p);
    snmp.Execute();
    EXPECT_EQ(snmp.status, snmp.sent ? "Sent" : "Error");
    return snmp.result_text;
}

} // namespace

TEST(SnmpAlarm, Version1CommunityDoesNotCarryOver) {
    TrapSender t;
    EXPECT_EQ(Send(t, Receiver(), Trap(1, "6.11", "private", "1.3.6.1.4.1.9999")), "[SNMP Alarm Sent Succeed]");
    EXPECT_NE(TrapLine({"SNMP v1, community private", "enterprise=.1.3.6.1.4.1.9999", "generic=6", "specific=.11"}),
              "");
    EXPECT_EQ(Send(t, Receiver(), Trap(1, "6.12")), "[SNMP Alarm Sent Succeed]");
    const std::string next = TrapLine({"SNMP v1", "specific=.12"});
    EXPECT_NE(next.find("community public"), std::string::npos) << next;
    EXPECT_EQ(next.find("9999"), std::string::npos) << next;
}

TEST(SnmpAlarm, Version2cCarriesTheOidAndIgnoresCommunity) {
    TrapSender t;
    EXPECT_EQ(Send(t, Receiver(), Trap(2, "1.3.6.1.4.1.9999.0.21", "private", "1.3.6.1.4.1.1")),
              "[SNMP Alarm Sent Succeed]");
    const std::string line = TrapLine({"OID: .1.3.6.1.4.1.9999.0.21"});
    EXPECT_NE(line.find("SNMP v2c, community public"), std::string::npos) << line;
    EXPECT_NE(line.find(".1.3.6.1.2.1.1.3.0 = Timeticks"), std::string::npos) << line;
}

TEST(SnmpAlarm, Version3AcceptedForItsUser) {
    TrapSender t;
    auto s = Receiver();
    s.local_engine_id = ServerValue("snmptrapd", "V3_ENGINE_ID");
    for (int version : {3, 0, 5}) {
        const std::string oid = "1.3.6.1.4.1.9999.0.3" + std::to_string(version);
        EXPECT_EQ(Send(t, s, Trap(version, oid)), "[SNMP Alarm Sent Succeed]");
        const std::string line = TrapLine({"OID: ." + oid});
        EXPECT_NE(line.find("SNMP v3, user " + ServerValue("snmptrapd", "V3_USER")), std::string::npos) << oid;
    }
}

TEST(SnmpAlarm, Failures) {
    TrapSender t;
    const std::string prefix = "[127.0.0.1:0 SNMP Alarm Sent Error:";
    struct Case {
        AlarmParams params;
        std::string text;
    } cases[] = {
        {Trap(2, "1.3.x.6"), prefix + "Invalid OID: 1.3.x.6]"},
        {Trap(1, ""), prefix + "Empty OID.]"},
        {Trap(1, "6.1", "", "not-an-oid"), prefix + "Invalid OID: not-an-oid]"},
    };
    for (const auto& c : cases) EXPECT_EQ(Send(t, Receiver(), c.params), c.text);
    AlarmParams v3 = Trap(3, "1.3.6.1.4.1.9999.0.1");
    v3.alarm_snmp_trap_password = "short";
    EXPECT_EQ(Send(t, Receiver(), v3), prefix + "SNMPv3 password must be at least 8 characters.]");

    // The local port is taken by another socket: the send fails with the library's text.
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
    socklen_t len = sizeof a;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
    auto busy = Receiver();
    busy.port = ntohs(a.sin_port);
    const std::string text = Send(t, busy, Trap(2, "1.3.6.1.4.1.9999.0.9"));
    ::close(fd);
    EXPECT_EQ(text.rfind("[127.0.0.1:" + std::to_string(busy.port) + " SNMP Alarm Sent Error:", 0), 0u) << text;
    EXPECT_GT(text.size(), 40u) << text;
    // The sender is usable again afterwards.
    EXPECT_EQ(Send(t, Receiver(), Trap(2, "1.3.6.1.4.1.9999.0.10")), "[SNMP Alarm Sent Succeed]");
}

TEST(SnmpAlarm, ConcurrentDeliveriesAreSerialised) {
    TrapSender t;
    std::vector<std::thread> threads;
    std::vector<std::string> results(6);
    for (int i = 0; i < 6; ++i) {
        threads.emplace_back([&, i] {
            results[i] = Send(t, Receiver(), Trap(i % 2 ? 1 : 2, i % 2 ? "6." + std::to_string(40 + i)
                                                                      : "1.3.6.1.4.1.9999.0." + std::to_string(40 + i),
                                                  i % 2 ? "private" : ""));
        });
    }
    for (auto& th : threads) th.join();
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(results[i], "[SNMP Alarm Sent Succeed]");
        if (i % 2) EXPECT_NE(TrapLine({"community private", "specific=." + std::to_string(40 + i)}), "");
        else EXPECT_NE(TrapLine({"community public", "9999.0." + std::to_string(40 + i)}), "");
    }
}
